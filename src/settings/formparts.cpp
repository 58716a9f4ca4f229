#include "formparts.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace ombx::formparts {

QLabel* addRow(QFormLayout* form, const QString& caption, QWidget* field, const QString& unit)
{
    QWidget* parent = form->parentWidget();
    auto* label = new QLabel(caption, parent);
    label->setBuddy(field);
    field->setAccessibleName(QString(caption).remove(QStringLiteral("：")).trimmed());
    if (unit.isEmpty()) {
        form->addRow(label, field);
        return label;
    }
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(field, 1);
    row->addWidget(new QLabel(unit, box));
    form->addRow(label, box);
    return label;
}

QPushButton* button(const QString& caption, const QString& objectName, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(objectName);
    b->setAccessibleName(caption);
    return b;
}

} // namespace ombx::formparts
