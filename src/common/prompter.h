#pragma once
#include <QList>
#include <QString>
#include <QStringList>

namespace ombx {

// How the program talks to the person at the counter: information boxes,
// OK/Cancel questions and the default error box. Windows and card checks get
// one through the AppContext; the program uses message boxes, tests record.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void info(const QString& text) = 0;
    // A box titled "提示" with OK and Cancel; true on OK.
    virtual bool question(const QString& text) = 0;
    virtual void error(const QString& text) = 0;
    // An information box titled "提示" with one OK (the printer and
    // database notices of printing and the report designer).
    virtual void notice(const QString& text) { info(text); }
};

// Records every text shown and answers questions from a script (OK when the
// script is used up). Used by tests and by headless tools.
class RecordingPrompter : public Prompter {
public:
    struct Entry {
        enum Kind { Info, Question, Error } kind;
        QString text;
    };

    void info(const QString& text) override;
    bool question(const QString& text) override;
    void error(const QString& text) override;

    // Answers for the next questions, in order.
    void answer(std::initializer_list<bool> answers);

    QList<Entry> entries;
    QList<bool> answers;

    QStringList texts() const;          // every text, in order
    QString last() const;               // the last text, or empty
    void clear() { entries.clear(); }
};

} // namespace ombx
