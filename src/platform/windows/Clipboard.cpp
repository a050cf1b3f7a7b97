// The system clipboard's plain text, for controls that copy and paste.
#include "platform/windows/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QString>
#include <QStringEncoder>

#include <algorithm>
#include <utility>

namespace {

// Plain text held in buffers of ours until a paste asks for it.
class TBufferMimeData : public QMimeData {
public:
    explicit TBufferMimeData(std::vector<TTextBuffer>&& Parts) : FParts(std::move(Parts)) {}
    QStringList formats() const override { return {QStringLiteral("text/plain")}; }
    bool hasFormat(const QString& MimeType) const override { return MimeType == QLatin1String("text/plain"); }

protected:
    // A program asking for bytes gets UTF-8 made straight from the buffers, without a string of
    // the whole text in between.
    QVariant retrieveData(const QString& MimeType, QMetaType Type) const override {
        if (MimeType != QLatin1String("text/plain")) return {};
        qsizetype Length = 0;
        for (const TTextBuffer& Part : FParts)
            Length += static_cast<qsizetype>(Part.Size());
        if (Type.id() == QMetaType::QByteArray) {
            QStringEncoder Encoder(QStringEncoder::Utf8);
            // Room for the longest encoding; only the pages written become memory.
            QByteArray Bytes(static_cast<qsizetype>(Encoder.requiredSpace(Length)), Qt::Uninitialized);
            char* End = Bytes.data();
            for (const TTextBuffer& Part : FParts)
                End = Encoder.appendToBuffer(End, View(Part));
            Bytes.truncate(End - Bytes.data());
            return Bytes;
        }
        QString Text;
        Text.reserve(Length);
        for (const TTextBuffer& Part : FParts)
            Text.append(View(Part));
        return Text;
    }

private:
    static QStringView View(const TTextBuffer& Part) {
        return QStringView(Part.Data(), static_cast<qsizetype>(Part.Size()));
    }
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
