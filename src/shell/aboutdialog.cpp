#include "aboutdialog.h"

#include "forms.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace ombx {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("关于"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);

    auto* picture = new QLabel(this);
    picture->setPixmap(QApplication::style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
    auto* texts = new QVBoxLayout;
    for (const char* line : {"IC卡预付费电能表售电管理系统(单机版）", "Version 6.04", "日期：2017-08-08",
                             "系统适用于Windows 98/2000P/XP/win7", "开发：城乡供电软件工作室",
                             "技术支持电话：010-00000000"})
        texts->addWidget(new QLabel(QString::fromUtf8(line), this));
    auto* web = new QLabel(QStringLiteral("<a href=\"https://www.example.com/\">https://www.example.com/</a>"), this);
    web->setObjectName(QStringLiteral("WebAddress"));
    web->setOpenExternalLinks(true);
    texts->addWidget(web);

    auto* ok = makeButton(QStringLiteral("OK"), QStringLiteral("OKButton"), {}, this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(texts);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}

} // namespace ombx
