// The desktop accessibility bus's selection and table cell interfaces, which Qt's own bus adaptor
// leaves out: tables answer which cells are selected and select rows, cells tell their place. The
// adaptor stays in charge of everything else; this one stands before it on the bus.
#include <QAccessible>
#include <QAccessibleInterface>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QPointer>
#include <QTimer>

#include "platform/windows/AccessibilityQt.h"

namespace {

// An object reference as the bus writes it: (bus name, path).
struct TBusReference {
    QString Service;
    QDBusObjectPath Path;
};

} // namespace

Q_DECLARE_METATYPE(TBusReference)

namespace {

QDBusArgument& operator<<(QDBusArgument& arg, const TBusReference& r) {
    arg.beginStructure();
    arg << r.Service << r.Path;
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, TBusReference& r) {
    arg.beginStructure();
    arg >> r.Service >> r.Path;
    arg.endStructure();
    return arg;
}

const QString kAccessiblePath = QStringLiteral("/org/a11y/atspi/accessible");
const QString kAccessible = QStringLiteral("org.a11y.atspi.Accessible");
const QString kSelection = QStringLiteral("org.a11y.atspi.Selection");
const QString kTableCell = QStringLiteral("org.a11y.atspi.TableCell");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
// The name Qt gives its connection to the accessibility bus.
const QString kConnectionName = QStringLiteral("a11y");

QString PathOf(QAccessibleInterface* iface) {
    return kAccessiblePath + QLatin1Char('/') + QString::number(QAccessible::uniqueId(iface));
}

QVariant Reference(const QDBusConnection& bus, QAccessibleInterface* iface) {
    return QVariant::fromValue(TBusReference{
        bus.baseService(), QDBusObjectPath(iface ? PathOf(iface) : QStringLiteral("/org/a11y/atspi/null"))});
}

class TBusAdaptor : public QDBusVirtualObject {
public:
    explicit TBusAdaptor(QDBusVirtualObject* qt) : Qt(qt) {}

    QString introspect(const QString& path) const override { return Qt ? Qt->introspect(path) : QString(); }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
        QAccessibleInterface* iface = InterfaceAt(message.path());
        if (iface && iface->isValid()) {
            QString interface = message.interface();
            QString member = message.member();
            const QVariantList args = message.arguments();
            if (interface == kProperties && args.size() >= 2) {
                interface = args.at(0).toString();
                member = message.member() + args.at(1).toString();
            }
            if (interface == kAccessible && member == QLatin1String("GetInterfaces") && Extends(iface))
                return Reply(bus, message, {Interfaces(iface)});
            if (interface == kSelection && iface->tableInterface())
                return Selection(iface, member, message, bus);
            if (interface == kTableCell && iface->tableCellInterface())
                return TableCell(iface, member, message, bus);
        }
        return Qt && Qt->handleMessage(message, bus);
    }

    QPointer<QDBusVirtualObject> Qt;

private:
    static QAccessibleInterface* InterfaceAt(const QString& path) {
        if (!path.startsWith(kAccessiblePath + QLatin1Char('/'))) return nullptr;
        bool ok = false;
        uint id = path.mid(kAccessiblePath.size() + 1).toUInt(&ok);
        return ok ? QAccessible::accessibleInterface(id) : nullptr;
    }
    static bool Extends(QAccessibleInterface* iface) {
        return iface->tableInterface() || iface->tableCellInterface();
    }
    // What the adaptor lists for the object, with the interfaces added here.
    static QStringList Interfaces(QAccessibleInterface* iface) {
        QStringList out{kAccessible};
        QObject* object = iface->object();
        if (!iface->rect().isEmpty() || (object && object->isWidgetType()) ||
            iface->role() == QAccessible::Cell)
            out << QStringLiteral("org.a11y.atspi.Component");
        if (iface->actionInterface() || iface->valueInterface())
            out << QStringLiteral("org.a11y.atspi.Action");
        if (iface->textInterface()) out << QStringLiteral("org.a11y.atspi.Text");
        if (iface->editableTextInterface()) out << QStringLiteral("org.a11y.atspi.EditableText");
        if (iface->valueInterface()) out << QStringLiteral("org.a11y.atspi.Value");
        if (iface->tableInterface()) out << QStringLiteral("org.a11y.atspi.Table") << kSelection;
        if (iface->tableCellInterface()) out << kTableCell;
        return out;
    }
    static bool Reply(const QDBusConnection& bus, const QDBusMessage& message, const QVariantList& values) {
        QDBusMessage reply = message.createReply();
        for (const QVariant& v : values)
            reply << v;
        return bus.send(reply);
    }
    static bool ReplyProperty(const QDBusConnection& bus, const QDBusMessage& message,
                              const QVariant& value) {
        return Reply(bus, message, {QVariant::fromValue(QDBusVariant(value))});
    }
    static int IntArg(const QDBusMessage& message) {
        return message.arguments().isEmpty() ? -1 : message.arguments().at(0).toInt();
    }

    // Selected children of a table are its selected cells; selecting one selects its row.
    bool Selection(QAccessibleInterface* iface, const QString& member, const QDBusMessage& message,
                   const QDBusConnection& bus) {
        QAccessibleTableInterface* table = iface->tableInterface();
        if (member == QLatin1String("GetNSelectedChildren"))
            return ReplyProperty(bus, message, table->selectedCellCount());
        if (member == QLatin1String("GetSelectedChild")) {
            const QList<QAccessibleInterface*> cells = table->selectedCells();
            int index = IntArg(message);
            QAccessibleInterface* cell = index >= 0 && index < cells.size() ? cells.at(index) : nullptr;
            return Reply(bus, message, {Reference(bus, cell)});
        }
        if (member == QLatin1String("SelectChild") || member == QLatin1String("IsChildSelected")) {
            QAccessibleInterface* child = iface->child(IntArg(message));
            QAccessibleTableCellInterface* cell = child ? child->tableCellInterface() : nullptr;
            bool done = false;
            if (cell && cell->rowIndex() >= 0)
                done = member == QLatin1String("IsChildSelected") ? cell->isSelected()
                                                                  : table->selectRow(cell->rowIndex());
            return Reply(bus, message, {done});
        }
        if (member == QLatin1String("SelectAll") || member == QLatin1String("ClearSelection") ||
            member == QLatin1String("DeselectSelectedChild") || member == QLatin1String("DeselectChild"))
            return Reply(bus, message, {false});
        return false;
    }

    bool TableCell(QAccessibleInterface* iface, const QString& member, const QDBusMessage& message,
                   const QDBusConnection& bus) {
        QAccessibleTableCellInterface* cell = iface->tableCellInterface();
        if (member == QLatin1String("GetPosition")) {
            QDBusArgument arg;
            arg.beginStructure();
            arg << cell->rowIndex() << cell->columnIndex();
            arg.endStructure();
            return ReplyProperty(bus, message, QVariant::fromValue(arg));
        }
        if (member == QLatin1String("GetRowSpan")) return ReplyProperty(bus, message, cell->rowExtent());
        if (member == QLatin1String("GetColumnSpan"))
            return ReplyProperty(bus, message, cell->columnExtent());
        if (member == QLatin1String("GetTable"))
            return ReplyProperty(bus, message, Reference(bus, cell->table()));
        if (member == QLatin1String("GetRowColumnSpan"))
            return Reply(bus, message,
                         {cell->rowIndex(), cell->columnIndex(), cell->rowExtent(), cell->columnExtent()});
        if (member == QLatin1String("GetColumnHeaderCells") || member == QLatin1String("GetRowHeaderCells")) {
            const auto headers = member == QLatin1String("GetColumnHeaderCells") ? cell->columnHeaderCells()
                                                                                 : cell->rowHeaderCells();
            QList<TBusReference> refs;
            for (QAccessibleInterface* header : headers)
                refs.push_back({bus.baseService(), QDBusObjectPath(PathOf(header))});
            return Reply(bus, message, {QVariant::fromValue(refs)});
        }
        return false;
    }
};

struct THook {
    QPointer<TBusAdaptor> Adaptor; // null until it stands on the bus
    int Tries = 0;
};
THook& Hook() {
    static THook h;
    return h;
}

// Stands before Qt's adaptor once Qt has put it on the bus (a little after the bus comes up).
void TryHook() {
    QDBusConnection bus(kConnectionName);
    if (!bus.isConnected()) return;
    QObject* registered = bus.objectRegisteredAt(kAccessiblePath);
    if (Hook().Adaptor && registered == Hook().Adaptor) return;
    auto* qt = qobject_cast<QDBusVirtualObject*>(registered);
    if (!qt) {
        if (++Hook().Tries < 50) QTimer::singleShot(100, qApp, TryHook);
        return;
    }
    auto* ours = new TBusAdaptor(qt);
    ours->setParent(qt);
    bus.unregisterObject(kAccessiblePath);
    if (!bus.registerVirtualObject(kAccessiblePath, ours, QDBusConnection::SubPath)) {
        // Give the bus back to Qt's adaptor as it was.
        bus.registerVirtualObject(kAccessiblePath, qt, QDBusConnection::SubPath);
        delete ours;
        return;
    }
    Hook().Adaptor = ours;
}

// Hooks again each time a screen reader turns accessibility on.
void WatchActivation(bool& WasActive) {
    const bool active = QAccessible::isActive();
    if (active && !WasActive) {
        Hook().Tries = 0;
        QTimer::singleShot(0, qApp, TryHook);
    }
    WasActive = active;
}

} // namespace

void HookAccessibilityBus() {
    qDBusRegisterMetaType<TBusReference>();
    qDBusRegisterMetaType<QList<TBusReference>>();
    // Polled rather than observed: the platform's list of activation observers can be gone before
    // the application at exit, and the application's cleanup would then touch it.
    auto* watch = new QTimer(qApp);
    watch->setInterval(500);
    QObject::connect(watch, &QTimer::timeout, watch,
                     [wasActive = false]() mutable { WatchActivation(wasActive); });
    watch->start();
    if (QAccessible::isActive()) {
        Hook().Tries = 0;
        QTimer::singleShot(0, qApp, TryHook);
    }
}

void AnnounceSelectionOnBus(QAccessibleInterface* Table) {
    if (!Hook().Adaptor || !Table) return;
    QDBusConnection bus(kConnectionName);
    QDBusMessage signal = QDBusMessage::createSignal(
        PathOf(Table), QStringLiteral("org.a11y.atspi.Event.Object"), QStringLiteral("SelectionChanged"));
    signal << QString() << 0 << 0 << QVariant::fromValue(QDBusVariant(0)) << QVariantMap();
    bus.send(signal);
}
