// The system clipboard's plain text, for controls that copy and paste.
#include "platform/windows/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QString>

#include <algorithm>
#include <utility>

#include "platform/runtime/LargeMemory.h"

namespace {

// Plain text held in buffers of ours until a paste asks for it.
class TBufferMimeData : public QMimeData {
public:
    explicit TBufferMimeData(std::vector<TTextBuffer>&& Parts) : FParts(std::move(Parts)) {}
    QStringList formats() const override { return {QStringLiteral("text/plain")}; }
    bool hasFormat(const QString& MimeType) const override { return MimeType == QLatin1String("text/plain"); }

protected:
    // A program asking for bytes gets the buffers' UTF-8 as it is, one after the other; one asking
    // for a string gets their units. Either is hundreds of megabytes for a million rows: on huge
    // pages before it is written.
    QVariant retrieveData(const QString& MimeType, QMetaType Type) const override {
        if (MimeType != QLatin1String("text/plain")) return {};
        const bool Valid = std::all_of(FParts.begin(), FParts.end(),
                                       [](const TTextBuffer& Part) { return Part.IsValidUtf8(); });
        if (Type.id() == QMetaType::QByteArray && Valid) {
            qsizetype Size = 0;
            for (const TTextBuffer& Part : FParts)
                Size += static_cast<qsizetype>(Part.Size());
            QByteArray Bytes(Size, Qt::Uninitialized);
            AdviseHugePages(Bytes.data(), static_cast<size_t>(Size));
            char* End = Bytes.data();
            for (const TTextBuffer& Part : FParts)
                End = std::copy(Part.Bytes().begin(), Part.Bytes().end(), End);
            return Bytes;
        }
        const size_t Units = UnitsOf(FParts);
        QString Text(static_cast<qsizetype>(Units), Qt::Uninitialized);
        AdviseHugePages(Text.data(), Units * sizeof(char16_t));
        DecodeParts(FParts, reinterpret_cast<char16_t*>(Text.data()));
        // Asked for bytes, a text with a lone surrogate goes as this string too: its conversion to
        // UTF-8 puts a question mark in the surrogate's place.
        return Text;
    }

private:
    std::vector<TTextBuffer> FParts;
};

} // namespace

void SetClipboardText(const WideString& Text) {
    QClipboard* Board = QGuiApplication::clipboard();
    if (!Board) return;
    if (Text.empty()) {
        Board->clear();
        return;
    }
    Board->setText(QString::fromUtf16(Text.data(), static_cast<qsizetype>(Text.size())));
}

void SetClipboardText(TTextBuffer&& Text) {
    std::vector<TTextBuffer> Parts;
    Parts.push_back(std::move(Text));
    SetClipboardText(std::move(Parts));
}

void SetClipboardText(std::vector<TTextBuffer>&& Parts) {
    QClipboard* Board = QGuiApplication::clipboard();
    if (!Board) return;
    if (std::all_of(Parts.begin(), Parts.end(), [](const TTextBuffer& Part) { return Part.Empty(); })) {
        Board->clear();
        return;
    }
    Board->setMimeData(new TBufferMimeData(std::move(Parts)));
}

WideString GetClipboardText() {
    QClipboard* Board = QGuiApplication::clipboard();
    if (!Board) return {};
    QString Text = Board->text();
    return WideString(reinterpret_cast<const char16_t*>(Text.utf16()), static_cast<size_t>(Text.size()));
}
