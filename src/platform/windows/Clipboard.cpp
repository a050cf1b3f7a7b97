// The system clipboard's plain text, for controls that copy and paste.
#include "platform/windows/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QString>

namespace {

// Plain text held in a buffer of ours until a paste asks for it.
class TBufferMimeData : public QMimeData {
public:
    explicit TBufferMimeData(TTextBuffer&& Text) : FText(std::move(Text)) {}
    QStringList formats() const override { return {QStringLiteral("text/plain")}; }
    bool hasFormat(const QString& MimeType) const override { return MimeType == QLatin1String("text/plain"); }

protected:
    // A program asking for bytes gets UTF-8 made straight from the buffer, without a string of
    // the whole text in between.
    QVariant retrieveData(const QString& MimeType, QMetaType Type) const override {
        if (MimeType != QLatin1String("text/plain")) return {};
        const QStringView Text(FText.Data(), static_cast<qsizetype>(FText.Size()));
        if (Type.id() == QMetaType::QByteArray) return Text.toUtf8();
        return Text.toString();
    }

private:
    TTextBuffer FText;
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
    QClipboard* Board = QGuiApplication::clipboard();
    if (!Board) return;
    if (Text.Empty()) {
        Board->clear();
        return;
    }
    Board->setMimeData(new TBufferMimeData(std::move(Text)));
}

WideString GetClipboardText() {
    QClipboard* Board = QGuiApplication::clipboard();
    if (!Board) return {};
    QString Text = Board->text();
    return WideString(reinterpret_cast<const char16_t*>(Text.utf16()), static_cast<size_t>(Text.size()));
}
