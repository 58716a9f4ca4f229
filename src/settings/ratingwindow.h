#pragma once
#include <QDialog>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace ombx {

struct AppContext;

// 容量设置: the ratings of each meter type, with their capacity parameter.
class TFmrating : public QDialog {
    Q_OBJECT
public:
    explicit TFmrating(AppContext& ctx, QWidget* parent = nullptr);

    QString selectedRatId() const { return m_ratId; }
    bool adding() const;

    void onAdd();          // "添加" / "添加确定"
    void onChange();       // "确定"
    void onDelete();       // "删除"
    void selectLine(int row);

private:
    void reload();

    AppContext& m_ctx;
    QComboBox* m_type;
    QLineEdit* m_rating;
    QLineEdit* m_constant;
    QLineEdit* m_voltage;
    QPlainTextEdit* m_memo;
    QPushButton* m_add;
    QTableWidget* m_list;
    QString m_ratId = QStringLiteral("-1");
};

} // namespace ombx
