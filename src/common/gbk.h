#pragma once
#include <QByteArray>
#include <QString>

namespace ombx {

// The office's texts are GBK (code page 936) wherever bytes count: column
// widths, spreadsheet files. Characters GBK cannot hold become '?'.
QByteArray toGbk(const QString& text);
QString fromGbk(const QByteArray& bytes);
// Length of the text in GBK bytes.
int gbkLength(const QString& text);

} // namespace ombx
