#pragma once
#include "sale.h"

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ombx {

struct AppContext;

// 用户买电: sells a quantity onto the customer's card, by quantity or by
// amount, verifies the card, then records the sale. One window sells once.
class TFmBuy : public QDialog {
    Q_OBJECT
public:
    TFmBuy(AppContext& ctx, qint64 user, QWidget* parent = nullptr);

    bool sold() const { return m_sold; }

    // The handlers, also driven by tests.
    void selectByQuantity();
    void selectByAmount();
    bool onQuantityLeft();   // false: the quantity is not a whole number (message shown)
    bool onAmountLeft();     // false: the amount is not a number (message shown)
    void onBuy();            // "购电"
    void onPrint();          // "打印"

private:
    QLineEdit* field(const QString& objectName, bool readOnly = true);

    AppContext& m_ctx;
    qint64 m_user;
    sale::Customer m_customer;
    bool m_sold = false;

    QLineEdit *m_userEdit, *m_name, *m_priceType, *m_meterNumber, *m_ct, *m_cardCount, *m_meterType, *m_buyCount,
        *m_phone, *m_address, *m_balance, *m_rating, *m_village;
    QRadioButton *m_byQuantity, *m_byAmount;
    QGroupBox *m_quantityGroup, *m_amountGroup;
    QLineEdit *m_quantity, *m_fee, *m_due, *m_amount, *m_amountQuantity, *m_amountFee;
    QLineEdit *m_invoice, *m_newBalance, *m_date;
    QPushButton *m_buy, *m_print;
};

} // namespace ombx
