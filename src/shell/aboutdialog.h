#pragma once
#include <QDialog>

namespace ombx {

// "关于": the product, its version and date, and who supports it.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

} // namespace ombx
