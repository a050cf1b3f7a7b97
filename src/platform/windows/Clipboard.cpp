// The system clipboard's plain text, for controls that copy and paste.
#include "platform/windows/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QString>

void SetClipboardText(const WideString& Text) {
    QClipboard* Board = QGuiApplication::clipboard();
    if (!Board) return;
    if (Text.empty()) {
        Board->clear();
        return;
    }
    Board->setText(QString::fromUtf16(Text.data(), static_cast<qsizetype>(Text.size())));
}

WideString GetClipboardText() {
    QClipboard* Board = QGuiApplication::clipboard();
    if (!Board) return {};
    QString Text = Board->text();
    return WideString(reinterpret_cast<const char16_t*>(Text.utf16()), static_cast<size_t>(Text.size()));
}
