#include "digitedit.h"

#include <QRegularExpressionValidator>

namespace ombx {

DigitEdit::DigitEdit(QWidget* parent) : QLineEdit(parent)
{
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
}

} // namespace ombx
