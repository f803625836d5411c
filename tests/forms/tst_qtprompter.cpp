// The real prompter on Qt's own dialogs, on a system whose locale is C.UTF-8:
// every button and title in Japanese, the save dialog's preset name shown as it
// is (a single space included), and the filter entry the user chose reported.

#include "toolkit/qtprompter.h"
#include "toolkit/qttranslations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

// What a modal dialog showed: its title and its buttons' texts.
struct Shown
{
    QString title;
    QStringList buttons;
    QString fileName; // the name box of a file dialog
};

void reject(QWidget* dialog)
{
    QMetaObject::invokeMethod(dialog, "reject");
}

// Runs ask() while the dialog it opens is read and then answered by answer().
Shown whileOpen(const std::function<void()>& ask, const std::function<void(QWidget*)>& answer)
{
    Shown shown;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        shown.title = dialog->windowTitle();
        for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
            if (!button->text().isEmpty())
                shown.buttons << button->text();
        }
        if (const auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            shown.fileName = name->text();
        answer(dialog);
        // A dialog the answer did not close ends the wait all the same.
        QTimer::singleShot(2000, dialog, [dialog] { reject(dialog); });
    });
    ask();
    return shown;
}

} // namespace

class QtPrompterTest : public QObject
{
    Q_OBJECT
  private slots:
    void systemLocaleIsC();
    void japaneseTexts_data();
    void japaneseTexts();
    void savePresetKeepsItsBlank();
    void chosenFilterComesBack_data();
    void chosenFilterComesBack();

  private:
    QtPrompter m_prompter;
    QTemporaryDir m_dir;
};

void QtPrompterTest::systemLocaleIsC()
{
    QCOMPARE(QLocale::system().name(), QStringLiteral("C"));
}

void QtPrompterTest::japaneseTexts_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("buttons");
    QTest::newRow("open") << "open"
                          << "開く" << QStringList{"開く(&O)", "キャンセル"};
    QTest::newRow("save") << "save"
                          << "名前を付けて保存" << QStringList{"保存(&S)", "キャンセル"};
    QTest::newRow("colour") << "colour"
                            << "色を選択" << QStringList{"OK", "キャンセル"};
    QTest::newRow("font") << "font"
                          << "フォントの選択" << QStringList{"OK", "キャンセル"};
    QTest::newRow("question") << "question"
                              << "Snipwell" << QStringList{"はい(&Y)", "いいえ(&N)"};
}

void QtPrompterTest::japaneseTexts()
{
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(QStringList, buttons);
    const FileRequest request{m_dir.filePath(QStringLiteral("a.jpg")),
                              QStringLiteral("jpegファイル(*.jpg);;全てのファイル (*.*)")};
    const QHash<QString, std::function<void()>> asks = {
        {"open", [&] { QVERIFY(!m_prompter.openFile(nullptr, request)); }},
        {"save", [&] { QVERIFY(!m_prompter.saveFile(nullptr, request)); }},
        {"colour", [&] { QVERIFY(!m_prompter.chooseColor(nullptr, Qt::red)); }},
        {"font", [&] { QVERIFY(!m_prompter.chooseFont(nullptr, QFont())); }},
        {"question", [&] { QVERIFY(!m_prompter.confirm(nullptr, QStringLiteral("?"))); }},
    };
    const Shown shown = whileOpen(asks.value(kind), reject);
    QCOMPARE(shown.title, title);
    for (const QString& button : buttons)
        QVERIFY2(shown.buttons.contains(button), qPrintable(shown.buttons.join(" | ")));
}

void QtPrompterTest::savePresetKeepsItsBlank()
{
    const Shown shown = whileOpen(
        [&] {
            QVERIFY(!m_prompter.saveFile(nullptr, {QStringLiteral(" "), QString()}));
        },
        reject);
    QCOMPARE(shown.fileName, QStringLiteral(" "));
}

void QtPrompterTest::chosenFilterComesBack_data()
{
    QTest::addColumn<int>("entry");
    QTest::newRow("jpeg files") << 0;
    QTest::newRow("all files") << 1;
}

void QtPrompterTest::chosenFilterComesBack()
{
    QFETCH(int, entry);
    const FileRequest request{m_dir.filePath(QStringLiteral("x")),
                              QStringLiteral("jpegファイル(*.jpg);;全てのファイル (*.*)")};
    std::optional<FileChoice> chosen;
    whileOpen([&] { chosen = m_prompter.saveFile(nullptr, request); },
              [&](QWidget* dialog) {
                  auto* fileDialog = qobject_cast<QFileDialog*>(dialog);
                  fileDialog->selectNameFilter(fileDialog->nameFilters().value(entry));
                  auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                  name->setText(QStringLiteral("piece"));
                  for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
                      if (button->text() == QStringLiteral("保存(&S)"))
                          QTest::mouseClick(button, Qt::LeftButton);
                  }
              });
    QVERIFY(chosen);
    QCOMPARE(chosen->path, m_dir.filePath(QStringLiteral("piece")));
    QCOMPARE(chosen->filter, qsizetype(entry));
}

int main(int argc, char* argv[])
{
    // The program's texts are Japanese whatever the locale; so must Qt's be.
    qputenv("LC_ALL", "C.UTF-8");
    qputenv("LANG", "C.UTF-8");
    qunsetenv("LANGUAGE");
    QApplication app(argc, argv);
    if (!installJapaneseQtTexts(app)) {
        qCritical("Qt's Japanese translation is missing: run scripts/deps.sh");
        return 1;
    }
    QtPrompterTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qtprompter.moc"
