#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {
const QString cssType = QStringLiteral("text/css");
}

void SetClipboardCss(const std::string& css)
{
    auto* data = new QMimeData;   // the clipboard owns it
    const QByteArray bytes = QByteArray::fromStdString(css);
    data->setData(cssType, bytes);
    data->setText(QString::fromUtf8(bytes));
    QGuiApplication::clipboard()->setMimeData(data);
}

std::string ClipboardCss()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return {};
    if (data->hasFormat(cssType))
        return data->data(cssType).toStdString();
    return data->text().toStdString();
}
