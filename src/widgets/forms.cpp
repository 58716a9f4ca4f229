#include "forms.h"

#include "errors.h"
#include "prompter.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace ombx {

BusyCursor::BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
BusyCursor::~BusyCursor() { QApplication::restoreOverrideCursor(); }

void runGuarded(Prompter& prompter, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const DatabaseError& e) {
        prompter.error(e.text());
    }
}

QLabel* captionFor(QWidget* field, const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setBuddy(field);
    field->setAccessibleName(QString(caption).remove(QStringLiteral("：")).remove(QLatin1Char(':')).trimmed());
    return label;
}

QLabel* addRow(QFormLayout* form, const QString& caption, QWidget* field, const QString& unit)
{
    QLabel* label = captionFor(field, caption, form->parentWidget());
    if (unit.isEmpty()) {
        form->addRow(label, field);
    } else {
        auto* box = new QWidget(form->parentWidget());
        auto* row = new QHBoxLayout(box);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(field, 1);
        row->addWidget(new QLabel(unit, box));
        form->addRow(label, box);
    }
    return label;
}

QPushButton* makeButton(const QString& caption, const QString& objectName, const QString& hint, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    if (!objectName.isEmpty())
        b->setObjectName(objectName);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    b->setAccessibleName(caption);
    return b;
}

} // namespace ombx
