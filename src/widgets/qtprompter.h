#pragma once
#include "prompter.h"

class QWidget;

namespace ombx {

// The program's message boxes: information with one OK, questions titled
// "提示" with OK and Cancel, errors as the default error box.
class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    void info(const QString& text) override;
    bool question(const QString& text) override;
    void error(const QString& text) override;
    void notice(const QString& text) override;

private:
    QWidget* m_parent;
};

} // namespace ombx
