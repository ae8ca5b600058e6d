#pragma once
// Qt's own texts (edit menus, file dialogs, standard buttons) in German, so
// that nothing in the program shows in another language. Loaded from the
// desktop's Qt translations; without them Qt's texts stay as they are.

// True when the German texts were found and installed.
bool InstallGermanQtTexts();
