#include "xlsexport.h"

#include "gbk.h"

#include <QDir>
#include <QSaveFile>

namespace ombx {
namespace {

constexpr quint16 kBof = 0x0809;
constexpr quint16 kLabel = 0x0204;
constexpr quint16 kBlank = 0x0201;
constexpr quint16 kEof = 0x000A;
constexpr quint16 kWorksheet = 0x0010;
constexpr quint16 kLabelFormat = 0;
constexpr quint16 kBlankFormat = 23;

// Row and column numbers are 16 bits; a label's record length (text + 8) too.
constexpr qsizetype kMaxCells = 65536;
constexpr qsizetype kMaxLabelBytes = 0xFFFF - 8;

void put16(QByteArray& out, quint16 v)
{
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}

// Refuses, before any file is touched, a grid the records cannot hold: the
// counters would wrap and the sheet would show cells in the wrong places.
void checkFits(const TRowDatas& table)
{
    if (table.size() > kMaxCells)
        throw ExportError(QStringLiteral("导出的数据有 %1 行，表格文件最多只能有 %2 行").arg(table.size()).arg(kMaxCells));
    for (const TColDatas& row : table) {
        if (row.size() > kMaxCells)
            throw ExportError(QStringLiteral("导出的数据有 %1 列，表格文件最多只能有 %2 列").arg(row.size()).arg(kMaxCells));
        for (const QString& text : row)
            if (text.size() > kMaxLabelBytes / 2 && gbkLength(text) > kMaxLabelBytes)
                throw ExportError(QStringLiteral("导出的数据中有一格超过 %1 字节").arg(kMaxLabelBytes));
    }
}

} // namespace

void TExport2Excel::write(const TRowDatas& table, const QString& fileName)
{
    m_table = &table;
    checkFits(table);

    QSaveFile file(fileName);
    // An existing file in a folder where no new file can be made is still
    // replaced in place, as a plain overwrite would.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        throw ExportError(QStringLiteral("无法创建文件 %1：%2").arg(QDir::toNativeSeparators(fileName), file.errorString()));
    m_stream = &file;

    writeBof();
    m_row = 0;
    m_col = 0;
    for (const TColDatas& row : table) {
        for (const QString& text : row) {
            if (text.isEmpty())
                writeBlank();
            else
                writeLabel(toGbk(text));
            ++m_col;
        }
        ++m_row;
        m_col = 0;
    }
    writeEof();

    m_stream = nullptr;
    if (!file.commit())
        throw ExportError(QStringLiteral("无法写入文件 %1：%2").arg(QDir::toNativeSeparators(fileName), file.errorString()));
}

void TExport2Excel::writeBof()
{
    QByteArray r;
    put16(r, kBof);
    put16(r, 8);
    put16(r, 0);          // version
    put16(r, kWorksheet);
    put16(r, 0);
    put16(r, 0);
    m_stream->write(r);
}

void TExport2Excel::writeLabel(const QByteArray& text)
{
    QByteArray r;
    r.reserve(12 + text.size());
    put16(r, kLabel);
    put16(r, quint16(text.size() + 8));
    put16(r, m_row);
    put16(r, m_col);
    put16(r, kLabelFormat);
    put16(r, quint16(text.size()));
    r.append(text);
    m_stream->write(r);
}

void TExport2Excel::writeBlank()
{
    QByteArray r;
    put16(r, kBlank);
    put16(r, 6);
    put16(r, m_row);
    put16(r, m_col);
    put16(r, kBlankFormat);
    m_stream->write(r);
}

void TExport2Excel::writeEof()
{
    QByteArray r;
    put16(r, kEof);
    put16(r, 0);
    m_stream->write(r);
}

void ExportGridToXls(const TRowDatas& table, const QString& fileName)
{
    TExport2Excel writer;
    writer.write(table, fileName);
}

} // namespace ombx
