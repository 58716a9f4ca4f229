#pragma once
#include "griddescription.h"
#include "metertypes.h"

#include <QDialog>
#include <memory>

class QSqlTableModel;
class QTableView;

namespace ombx {

struct AppContext;
class TableEditorModel;

// The browse-and-edit grid of the settings tables: right-click "插入" and
// "删除", "确定" and leaving the grid store the rows being inserted or
// edited, "退出" closes. A cell refuses a value its column cannot take; the
// refused text stays in the cell and its row is not stored until it is
// corrected or emptied. Esc in the grid abandons the changes of the current
// row.
class TableEditor : public QDialog {
    Q_OBJECT
public:
    TableEditor(AppContext& ctx, GridDescription description, QWidget* parent = nullptr);
    ~TableEditor() override;

    // "确定": stores the rows being inserted or edited. A new row nobody
    // typed into is dropped. False, with the error shown, when a cell holds
    // a refused value or the table refused a row; those rows stay as they are.
    bool store();
    void insertRow();        // "插入": stores pending rows, then a new empty row at the current one
    void deleteRow();        // "删除": asks, then deletes the current row at once
    void revertCurrentRow(); // Esc: the current row's changes are abandoned

    QTableView* grid() const { return m_view; }
    QSqlTableModel* model() const;
    // Model column of a field, or of the calculated column by its title; -1 when absent.
    int columnOf(const QString& fieldOrTitle) const;

public slots:
    // "退出", Esc and closing the window: the pending rows are stored first;
    // the window stays open when they cannot be.
    void reject() override;

private:
    class Connection;
    void onFocusChanged(QWidget* old, QWidget* now);
    bool inGrid(QWidget* w) const;
    void onRefused(const QString& message);

    AppContext& m_ctx;
    GridDescription m_desc;
    std::unique_ptr<Connection> m_connection;      // outlives the model
    std::unique_ptr<TableEditorModel> m_model;
    QTableView* m_view = nullptr;
    bool m_leaveQueued = false;
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

} // namespace ombx
