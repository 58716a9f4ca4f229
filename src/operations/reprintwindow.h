#pragma once
#include <QDialog>

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace ombx {

struct AppContext;

// 票据补打: finds a customer's purchases and prints any receipt again.
class TFrmpjbd : public QDialog {
    Q_OBJECT
public:
    explicit TFrmpjbd(AppContext& ctx, QWidget* parent = nullptr);

    void onFind();      // "查找"
    void onReprint();   // "打印", for the selected line

private:
    void clearFound();

    AppContext& m_ctx;
    QLineEdit *m_user, *m_name, *m_meterNumber, *m_address;
    QTableWidget* m_list;
    QPushButton* m_print;
};

} // namespace ombx
