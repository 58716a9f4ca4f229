#pragma once
#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace ombx {

struct AppContext;

// The login window: account, password and class against the account table.
// Three failures of any kind end the program; a success fills the login
// values of the context, records the login and opens the card reader.
class TFmlogin : public QDialog {
    Q_OBJECT
public:
    explicit TFmlogin(AppContext& ctx, QWidget* parent = nullptr);

    bool succeeded() const { return m_success; }
    int failures() const { return m_failures; }
    qint64 loginRecord() const { return m_record; }

    // Runs one attempt with what the fields hold ("登陆", or Enter in any field).
    void attempt();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The end of every attempt that does not fail: open the card reader, then
    // close the window (the program goes on only after a success).
    void openReaderAndClose();

    AppContext& m_ctx;
    QComboBox* m_account;   // ComboBox2
    QLineEdit* m_password;  // Edit2
    QComboBox* m_class;     // ComboBox1
    int m_failures = 0;
    bool m_success = false;
    qint64 m_record = -1;
};

} // namespace ombx
