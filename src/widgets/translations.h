#pragma once

class QCoreApplication;

namespace ombx {

// Makes Qt's own texts Chinese whatever the machine's locale: standard
// buttons read 确定 / 取消, the file dialog 打开, and so on. Loads Qt's
// qtbase_zh_CN from the installed Qt translations (a missing file leaves
// Qt's English texts) and makes Chinese (China) the default locale.
// Returns true when the translations were found.
bool installChineseTranslations(QCoreApplication& app);

} // namespace ombx
