#pragma once
#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace ombx {

struct AppContext;

// 容量设置: the ratings of each meter type, with their capacity parameter.
// Two modes, shown by the add button's caption: browsing ("添加") and
// adding ("添加确定").
class TFmrating : public QDialog {
    Q_OBJECT
public:
    explicit TFmrating(AppContext& ctx, QWidget* parent = nullptr);

    // The selected rating's Rat_id, "-1" when none is selected.
    QString selectedRatId() const { return m_ratId; }
    bool adding() const;

private:
    void onAddClicked();     // "添加" / "添加确定"
    void onChangeClicked();  // "确定"
    void onDeleteClicked();  // "删除"
    void selectLine(int row);
    void reload();
    void clearBoxes();
    // Runs a button's handler; a conversion or database error is shown and
    // leaves the window as it was.
    void guarded(const std::function<void()>& handler);

    AppContext& m_ctx;
    QComboBox* m_typeList;
    QLineEdit* m_ratingEdit;
    QLineEdit* m_constantEdit;
    QLineEdit* m_voltageEdit;
    QPlainTextEdit* m_memoEdit;
    QPushButton* m_addButton;
    QTableWidget* m_ratingList;
    QString m_ratId = QStringLiteral("-1");
};

} // namespace ombx
