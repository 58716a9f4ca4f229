#pragma once
#include <QDialog>
#include <QSqlRecord>
#include <QStringList>

#include <functional>

class QSqlTableModel;
class QTableView;

namespace ombx {

struct AppContext;
class EditModel;

// One column of a browse-and-edit grid: the table's field, its title, and
// for pick-only columns the values it may take.
struct GridColumn {
    QString field;
    QString title;
    QStringList choices; // non-empty: chosen from this list only, typing refused
};

// What a settings grid shows and checks. The grid edits one table file
// directly, as the office's table editors always have.
struct GridDescription {
    QString objectName;
    QString caption;
    QString table;
    QList<GridColumn> columns;                      // shown, in this order
    QString calculatedTitle;                        // a read-only computed column, shown before the last column
    std::function<QVariant(const QSqlRecord&)> calculate;
    std::function<void(const QSqlRecord&, AppContext&)> beforeStore; // warnings that do not stop the store
};

// The browse-and-edit grid: right-click "插入" and "删除", "确定" and
// leaving the grid store the row being inserted or edited, "退出" closes.
class TableEditor : public QDialog {
    Q_OBJECT
public:
    TableEditor(AppContext& ctx, GridDescription description, QWidget* parent = nullptr);
    ~TableEditor() override;

    // "确定": stores inserted and edited rows; false (with the error shown) when the table refused them.
    bool store();
    void insertRow();   // "插入" at the current row
    void deleteRow();   // "删除", after the question

    QTableView* grid() const { return m_view; }
    QSqlTableModel* model() const;
    // Grid column of a field (or of the calculated column, by its title).
    int columnOf(const QString& fieldOrTitle) const;

private:
    void onFocusChanged(QWidget* old, QWidget* now);

    AppContext& m_ctx;
    GridDescription m_desc;
    QString m_connection;
    EditModel* m_model = nullptr;
    QTableView* m_view = nullptr;
};

// 电价设置: the price types with their unit price.
class TFmPriceType : public TableEditor {
    Q_OBJECT
public:
    explicit TFmPriceType(AppContext& ctx, QWidget* parent = nullptr);
};

// 表型设置: the meter types, their largest purchase and default alarm levels.
class TFmMtrType : public TableEditor {
    Q_OBJECT
public:
    explicit TFmMtrType(AppContext& ctx, QWidget* parent = nullptr);
};

// The alarm and cut-off quantities a meter can be set to.
QStringList alarmChoices();   // 10, 20, ... 990
QStringList cutOffChoices();  // 1 ... 10, 20 ... 250, 255

} // namespace ombx
