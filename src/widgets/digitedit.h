#pragma once
#include <QLineEdit>

namespace ombx {

// An entry field for whole numbers: only the digits 0 to 9 (and editing
// keys) get in; a decimal point or a minus sign typed has no effect.
class DigitEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DigitEdit(QWidget* parent = nullptr);
};

} // namespace ombx
