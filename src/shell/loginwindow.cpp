#include "loginwindow.h"

#include "appcontext.h"
#include "cardlibrary.h"
#include "database.h"
#include "forms.h"
#include "login.h"
#include "prompter.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>
#include <optional>

namespace ombx {

TFmlogin::TFmlogin(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TFmlogin"));
    setWindowTitle(QStringLiteral("Qarvel电气售电管理系统软件登陆"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMinimizeButtonHint);

    auto* title = new QLabel(QStringLiteral("Qarvel电气售电管理系统"), this);
    QFont big = title->font();
    big.setPixelSize(22);
    big.setBold(true);
    title->setFont(big);
    title->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(QStringLiteral("Version 6.04(USB接口读写器)"), this);
    version->setAlignment(Qt::AlignCenter);

    m_account = new QComboBox(this);
    m_account->setObjectName(QStringLiteral("ComboBox2"));
    m_account->setEditable(true);
    // Enter starts the attempt; it must not add the typed text to the list.
    m_account->setInsertPolicy(QComboBox::NoInsert);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("Edit2"));
    m_password->setEchoMode(QLineEdit::Password);
    m_class = new QComboBox(this);
    m_class->setObjectName(QStringLiteral("ComboBox1"));
    m_class->addItems(login::kClassCaptions);
    m_class->setCurrentIndex(0);

    auto* form = new QFormLayout;
    addRow(form, QStringLiteral("帐号："), m_account);
    addRow(form, QStringLiteral("密码："), m_password);
    addRow(form, QStringLiteral("类别："), m_class);

    auto* ok = makeButton(QStringLiteral("登陆"), QStringLiteral("BitBtn1"), {}, this);
    auto* close = makeButton(QStringLiteral("关闭"), QStringLiteral("BitBtn2"), {}, this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TFmlogin::attempt);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addSpacing(12);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setMinimumWidth(380);
}

void TFmlogin::showEvent(QShowEvent* event)
{
    m_failures = 0;
    m_account->clear();
    try {
        m_account->addItems(login::accounts(*m_ctx.db));
    } catch (const DatabaseError&) {
        // An unreadable account table shows as an empty list; the attempt
        // itself then ends the program quietly.
    }
    m_account->setCurrentIndex(-1);
    m_account->setFocus();
    QDialog::showEvent(event);
}

void TFmlogin::attempt()
{
    auto busy = std::make_optional<BusyCursor>();
    login::Attempt a;
    try {
        a = login::check(*m_ctx.db, m_account->currentText(), m_password->text(), m_class->currentIndex());
        if (a.outcome == login::Attempt::Ok) {
            m_success = true;
            m_ctx.account = m_account->currentText();
            m_ctx.bureau = login::officeBureau(*m_ctx.db);
            m_ctx.loginClass = login::classOfPosition(m_class->currentIndex());
            m_record = login::record(*m_ctx.db, m_ctx.account, a.name, m_class->currentText());
        }
    } catch (const DatabaseError& e) {
        // A database that cannot be read ends the program without a message
        // to the counter; the reason goes to the error output.
        std::fprintf(stderr, "OMBX256: %s\n", e.text().toLocal8Bit().constData());
        m_success = false;
        busy.reset();
        openReaderAndClose();
        return;
    }
    busy.reset(); // the messages below are shown with the normal cursor
    if (a.outcome == login::Attempt::Ok) {
        openReaderAndClose();
        return;
    }
    m_ctx.prompter->info(a.message);
    if (a.outcome == login::Attempt::NoClass)
        return;
    if (++m_failures >= 3) {
        m_ctx.prompter->info(QStringLiteral("登陆超过3次，请退出！"));
        reject();
    }
}

void TFmlogin::openReaderAndClose()
{
    if (m_ctx.card->OpenUSB() < 1) {
        m_ctx.prompter->info(QStringLiteral("读写器设备打开失败，请检查设备再登陆！"));
        m_success = false;
    }
    if (m_success)
        accept();
    else
        reject();
}

} // namespace ombx
