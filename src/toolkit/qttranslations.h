#pragma once

// Qt's own texts (the buttons and labels of the file, colour and font dialogs
// and of message boxes) in Japanese, to match the program's own texts, which
// are Japanese whatever the desktop's language.

class QCoreApplication;

// Installs Qt's Japanese translation into the application; false when the
// system has none (Qt's texts then stay in English).
bool installJapaneseQtTexts(QCoreApplication& application);
