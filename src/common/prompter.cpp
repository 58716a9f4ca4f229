#include "prompter.h"

namespace ombx {

void RecordingPrompter::info(const QString& text) { entries.append({Entry::Info, text}); }

bool RecordingPrompter::question(const QString& text)
{
    entries.append({Entry::Question, text});
    return answers.isEmpty() ? true : answers.takeFirst();
}

void RecordingPrompter::error(const QString& text) { entries.append({Entry::Error, text}); }

void RecordingPrompter::answer(std::initializer_list<bool> list)
{
    for (bool a : list)
        answers.append(a);
}

QStringList RecordingPrompter::texts() const
{
    QStringList out;
    for (const auto& e : entries)
        out << e.text;
    return out;
}

QString RecordingPrompter::last() const { return entries.isEmpty() ? QString() : entries.last().text; }

} // namespace ombx
