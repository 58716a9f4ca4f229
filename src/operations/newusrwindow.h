#pragma once
#include "openaccount.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace ombx {

struct AppContext;
class Report;

// 用户卡开户: registers a new customer under the next customer number and
// writes the blank card on the reader as the customer's card.
class TFmNewUsr : public QDialog {
    Q_OBJECT
public:
    explicit TFmNewUsr(AppContext& ctx, QWidget* parent = nullptr);

    bool opened() const { return m_opened; }
    // "转购电" closed the window: the caller runs the buy command next.
    bool buyNext() const { return m_buyNext; }

    void onMeterTypeChanged();
    void onOpen();          // "开户"
    void onPrint();         // "打印": the open-account sheet
    void onBuyNext();       // "转购电"
    void toggleNotes();     // "开户须知"
    Report sheet() const;

private:
    openaccount::Form form() const;

    AppContext& m_ctx;
    openaccount::KeyedList m_meterTypes, m_priceTypes, m_ratings, m_villages;
    bool m_opened = false;
    bool m_buyNext = false;

    QLineEdit *m_number, *m_name, *m_phone, *m_identity, *m_meterNumber, *m_address;
    QComboBox *m_meterType, *m_priceType, *m_alarm, *m_cutOff, *m_rating, *m_village;
    QLineEdit *m_ctPrimary, *m_ctSecondary;
    QWidget* m_ctGroup;
    QLabel *m_ctCaption, *m_ratingCaption, *m_villageCaption;
    QPlainTextEdit* m_memo;
    QLabel* m_notes;
    QPushButton *m_open, *m_print, *m_toBuy, *m_fee;
};

} // namespace ombx
