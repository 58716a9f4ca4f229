#include "qtprompter.h"

#include <QApplication>
#include <QMessageBox>

namespace ombx {
namespace {
QWidget* owner(QWidget* parent) { return parent ? parent : QApplication::activeWindow(); }
} // namespace

void QtPrompter::info(const QString& text)
{
    QMessageBox::information(owner(m_parent), QApplication::applicationDisplayName(), text, QMessageBox::Ok);
}

bool QtPrompter::question(const QString& text)
{
    return QMessageBox::question(owner(m_parent), QStringLiteral("提示"), text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
}

void QtPrompter::notice(const QString& text)
{
    QMessageBox::information(owner(m_parent), QStringLiteral("提示"), text, QMessageBox::Ok);
}

void QtPrompter::error(const QString& text)
{
    QMessageBox::critical(owner(m_parent), QApplication::applicationDisplayName(), text, QMessageBox::Ok);
}

} // namespace ombx
