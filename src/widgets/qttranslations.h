#pragma once

// Qt's own texts (the buttons of message boxes, the file dialog, the context menus of text
// boxes) in the session's language: the German ones come from Qt's translations (qtbase_de.qm,
// Debian's qt6-translations-l10n) in Qt's translations directory; English needs none. Qt's
// default locale (the dates of the file dialog) follows the language too.

namespace widgets {

// Installs the translations of `language` (0 English, 1000 German) in place of the ones
// installed before. Answers false when the German translations cannot be found: Qt then
// speaks English.
bool useQtTranslations(int language);

} // namespace widgets
