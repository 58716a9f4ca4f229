#pragma once
#include <QList>
#include <QString>
#include <QStringList>

#include <stdexcept>

class QIODevice;

namespace ombx {

// One row of an exported grid: its texts, one per column.
using TColDatas = QStringList;
// The grid: rows in order; rows may differ in length.
using TRowDatas = QList<TColDatas>;

// The export could not be written: the file cannot be created or written, or
// the grid does not fit the worksheet records (more than 65536 rows or
// columns, a text longer than 65527 GBK bytes).
class ExportError : public std::runtime_error {
public:
    explicit ExportError(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

// Writes a grid as one worksheet of BIFF records, the file every spreadsheet
// program opens as an Excel sheet: a label record for every non-empty text
// (GBK bytes), a blank record for every empty one, nothing else. Used once per
// export.
class TExport2Excel {
public:
    // Writes the whole file. The file is replaced, never appended to. It is
    // written beside its final name and takes that name only when complete, so
    // a failed export leaves a file that was there untouched. Throws ExportError.
    void write(const TRowDatas& table, const QString& fileName);

private:
    void writeBof();
    void writeLabel(const QByteArray& text);
    void writeBlank();
    void writeEof();

    quint16 m_col = 0;
    quint16 m_row = 0;
    QIODevice* m_stream = nullptr;
    const TRowDatas* m_table = nullptr;
};

// The export of the query and report windows: the grid, title and totals rows
// included, into fileName. Throws ExportError; nothing is written then.
void ExportGridToXls(const TRowDatas& table, const QString& fileName);

} // namespace ombx
