#include "tests/app/BoardFixture.h"

#include "ui/Settings.h"
#include "widgets/Colors.h"
#include "widgets/LabelButton.h"
#include "window/Tmenu.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

namespace {
const QString kMain = QStringLiteral("Main");

struct ThemeColours {
    Bgr strip, light, stripText;
};
// Independent copy of the design's colours, so a slip in the theme table shows here.
const ThemeColours kExpected[4] = {
    {0x0080FF, 0x80C0FF, 0xFFFFFF},
    {0xFFFF80, 0xFFFFC0, 0x000000},
    {0xFF80FF, 0xFFC0FF, 0xFFFFFF},
    {0x80FF80, 0xC0FFC0, 0x000000},
};
constexpr Bgr kJunk = 0x010203;

// A board with its main window, and the settings window over it.
struct SettingsFixture : BoardFixture {
    std::unique_ptr<Settings> settings;

    Form1& board() {
        if (!form) {
            start();
            form->moveToTwips(3000, 1200);
            form->paintTheme();
        }
        return *form;
    }
    Settings& open() {
        settings = std::make_unique<Settings>(board(), store, boxes, autostart, form.get());
        return *settings;
    }
    QString stored(const QString& key) const { return store.GetIniValue(kMain, key); }
    QList<QWidget*> painted() const {
        QList<QWidget*> list{settings->Label1, settings->Label2, settings->Label11, settings->Label12, settings.get()};
        for (QRadioButton* o : settings->options)
            list << o;
        return list << settings->Check1 << settings->Check2;
    }
    int checkedOption() const {
        for (int i = 0; i < 4; ++i)
            if (settings->options[i]->isChecked())
                return i + 1;
        return 0;
    }
};

// Records, in order, every widget whose palette changed.
class PaletteLog : public QObject {
public:
    explicit PaletteLog(const QList<QWidget*>& widgets) {
        for (QWidget* w : widgets)
            w->installEventFilter(this);
    }
    QStringList names;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::PaletteChange)
            names << watched->objectName();
        return false;
    }
};
} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void window_isLaidOutAsDesigned() {
        SettingsFixture f;
        Settings& s = f.open();
        QCOMPARE(s.windowTitle(), QStringLiteral("设置"));
        QCOMPARE(s.size(), QSize(312, 223));
        QVERIFY(s.isModal());
        QVERIFY(s.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(s.Label1->text(), QStringLiteral("常规设置"));
        QCOMPARE(s.Label2->geometry(), QRect(0, 64, 313, 25));
        QCOMPARE(s.Check1->text(), QStringLiteral("开机自启动"));
        QCOMPARE(s.Check2->text(), QStringLiteral("关闭贴条外框"));
        QCOMPARE(s.Check2->geometry(), QRect(104, 32, 105, 25));
        QCOMPARE(s.Label12->text(), QStringLiteral("保存"));
        QCOMPARE(s.Label11->text(), QStringLiteral("关闭"));
        QCOMPARE(s.Label11->geometry(), QRect(168, 192, 57, 22));
        const QStringList names{"橘色活力", "蓝色格调", "紫魅风情", "翠色欲流"};
        const int optionLeft[4] = {30, 110, 189, 270};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(s.themeNames[i]->text(), names[i]);
            QCOMPARE(background(s.themeNames[i]), kExpected[i].strip);
            QCOMPARE(background(s.swatches[i]), kExpected[i].light);
            QVERIFY(s.swatches[i]->text().isEmpty());
            QCOMPARE(s.swatches[i]->geometry(), QRect(8 + 80 * i, 112, 57, 49));
            QVERIFY(s.options[i]->text().isEmpty());
            QCOMPARE(s.options[i]->geometry().topLeft(), QPoint(optionLeft[i], 168));
        }
        // Before the first tick: theme 1's colours.
        QCOMPARE(background(&s), kExpected[0].light);
        QCOMPARE(background(s.Label12), kExpected[0].strip);
        QVERIFY(s.CC.isActive());
    }

    void painting_setsTheListedControlsInOrder_data() {
        QTest::addColumn<int>("theme");
        for (int n = 1; n <= 4; ++n)
            QTest::addRow("theme %d", n) << n;
    }
    void painting_setsTheListedControlsInOrder() {
        QFETCH(int, theme);
        SettingsFixture f;
        Settings& s = f.open();
        for (QWidget* w : f.painted())
            setBackground(w, kJunk);
        setForeground(s.Label1, kJunk);
        setForeground(s.Label2, kJunk);
        f.board().C1 = QString::number(theme);

        PaletteLog log(f.painted());
        s.paintTheme();

        const QStringList order{"Label1",  "Label2",  "Label11", "Label12", "",       "Option1", "Option2",
                                "Option3", "Option4", "Check1",  "Check2",  "Label1", "Label2"};
        QCOMPARE(log.names, order);

        const ThemeColours& c = kExpected[theme - 1];
        for (QWidget* w : {(QWidget*)s.Label1, (QWidget*)s.Label2, (QWidget*)s.Label11, (QWidget*)s.Label12})
            QCOMPARE(background(w), c.strip);
        QCOMPARE(background(&s), c.light);
        for (QRadioButton* o : s.options)
            QCOMPARE(background(o), c.light);
        QCOMPARE(background(s.Check1), c.light);
        QCOMPARE(background(s.Check2), c.light);
        // Theme 3 too: switching to it gives the same header colours as starting in it.
        QCOMPARE(foreground(s.Label1), c.stripText);
        QCOMPARE(foreground(s.Label2), c.stripText);
        // The fixed columns never follow the theme.
        QCOMPARE(background(s.themeNames[1]), kExpected[1].strip);
        QCOMPARE(background(s.swatches[2]), kExpected[2].light);
        QVERIFY(!s.CC.isActive());
    }

    void painting_firstTickAfterCreationUsesC1() {
        SettingsFixture f;
        f.board().C1 = "4";
        Settings& s = f.open();
        QTRY_VERIFY(!s.CC.isActive());
        QCOMPARE(background(&s), kExpected[3].light);
    }

    void painting_invalidThemeKeepsTheColoursAndRetriesWithoutSpinning_data() {
        QTest::addColumn<QString>("c1");
        QTest::newRow("0") << "0";
        QTest::newRow("5") << "5";
        QTest::newRow("2.5") << "2.5";
        QTest::newRow("text") << "Color1";
        QTest::newRow("empty") << "";
    }
    void painting_invalidThemeKeepsTheColoursAndRetriesWithoutSpinning() {
        QFETCH(QString, c1);
        SettingsFixture f;
        Settings& s = f.open();
        f.board().C1 = c1;
        s.paintTheme();
        s.paintTheme();
        QCOMPARE(background(&s), kExpected[0].light);
        QCOMPARE(background(s.Label1), kExpected[0].strip);
        QVERIFY(s.CC.isActive());
        QVERIFY2(s.CC.interval() >= 50, "an invalid theme must not be looked at every millisecond");

        f.board().C1 = "2";
        s.paintTheme();
        QCOMPARE(background(&s), kExpected[1].light);
        QCOMPARE(foreground(s.Label1), kExpected[1].stripText);
        QVERIFY(!s.CC.isActive());
    }

    void hover_whitensTheButtonUnderThePointer_data() {
        QTest::addColumn<QString>("c1");
        QTest::addColumn<bool>("valid");
        QTest::newRow("theme 4") << "4" << true;
        QTest::newRow("theme 2") << "2" << true;
        QTest::newRow("invalid") << "7" << false;
    }
    void hover_whitensTheButtonUnderThePointer() {
        QFETCH(QString, c1);
        QFETCH(bool, valid);
        SettingsFixture f;
        Settings& s = f.open();
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        f.board().C1 = c1;
        s.paintTheme(); // the window's own first tick, so that it cannot come mid-test
        setBackground(s.Label11, kJunk);
        setBackground(s.Label12, kJunk);
        const Bgr strip = valid ? kExpected[c1.toInt() - 1].strip : kJunk;
        const Bgr white = valid ? 0xFFFFFF : kJunk;

        QTest::mouseMove(s.Label12, QPoint(10, 10));
        QCOMPARE(background(s.Label12), white);
        QCOMPARE(background(s.Label11), strip);

        QTest::mouseMove(s.Label11, QPoint(10, 10));
        QCOMPARE(background(s.Label11), white);
        QCOMPARE(background(s.Label12), strip);

        // Other controls leave the pattern as it is.
        QTest::mouseMove(s.Check1, QPoint(5, 5));
        QTest::mouseMove(s.swatches[0], QPoint(5, 5));
        QTest::mouseMove(s.themeNames[3], QPoint(5, 5));
        QCOMPARE(background(s.Label11), white);

        // The window's own background resets both.
        QTest::mouseMove(&s, QPoint(300, 215));
        QCOMPARE(background(s.Label11), strip);
        QCOMPARE(background(s.Label12), strip);
    }

    void load_showsTheStoredSettingsBesideTheMainWindow() {
        SettingsFixture f;
        f.store.setValue(kMain, "Color", "3");
        f.store.setValue(kMain, "Boots", "1");
        f.store.setValue(kMain, "Out", "1");
        Settings& s = f.open();
        QCOMPARE(f.checkedOption(), 3);
        QVERIFY(s.Check1->isChecked());
        QVERIFY(s.Check2->isChecked());
        // Main window at 3000, 1200 twips: 3000 - 450 = 2550 (170 px), 1200 * 5 / 4 = 1500 (100 px).
        QCOMPARE(s.pos(), QPoint(170, 100));

        // A theme number written another way selects what the board paints; a save writes it plainly.
        f.store.setValue(kMain, "Color", "2.0");
        s.load();
        QCOMPARE(f.checkedOption(), 2);
        s.save();
        QCOMPARE(f.stored("Color"), QStringLiteral("2"));
        QCOMPARE(f.board().C1, QStringLiteral("2"));
    }

    void load_keepsTheBoxesWhereTheFileSaysNothing() {
        SettingsFixture f;
        f.store.setValue(kMain, "Color", "4");
        Settings& s = f.open();
        QCOMPARE(f.checkedOption(), 4);
        QVERIFY(!s.Check1->isChecked());
        QVERIFY(!s.Check2->isChecked());

        // Out = 0 leaves a ticked frame box ticked; Boots = 0 clears the start box;
        // a theme outside 1..4 leaves the chosen option.
        s.Check2->setChecked(true);
        s.Check1->setChecked(true);
        s.options[1]->setChecked(true);
        f.store.setValue(kMain, "Color", "9");
        s.load();
        QVERIFY(s.Check2->isChecked());
        QVERIFY(!s.Check1->isChecked());
        QCOMPARE(f.checkedOption(), 2);
    }

    void load_countsValuesThatAreNotNumbersAsZero() {
        SettingsFixture f;
        f.store.setValue(kMain, "Color", "blue");
        f.store.setValue(kMain, "Boots", "yes");
        f.store.setValue(kMain, "Out", "1x");
        Settings& s = f.open();
        QCOMPARE(f.checkedOption(), 1);
        QVERIFY(!s.Check1->isChecked());
        QVERIFY(!s.Check2->isChecked());

        // And a settings file that has gone away reads as all zeros too.
        QFile::remove(f.file);
        s.Check1->setChecked(true);
        s.load();
        QVERIFY(!s.Check1->isChecked());
    }

    void clicks_swatchSelectsItsOptionAndNamesDoNothing() {
        SettingsFixture f;
        Settings& s = f.open();
        QTest::mouseClick(s.swatches[2], Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(f.checkedOption(), 3);
        QTest::mouseClick(s.themeNames[1], Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(f.checkedOption(), 3);
        QTest::mouseClick(s.swatches[0], Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(f.checkedOption(), 1);
        // Choosing changes nothing until the save.
        QCOMPARE(f.board().C1, QStringLiteral("1"));
        QCOMPARE(f.bytes(), defaultSettingsBytes());
    }

    void save_writesAppliesAndConfirms_data() {
        QTest::addColumn<bool>("boots");
        QTest::addColumn<bool>("frameOff");
        QTest::addColumn<int>("theme");
        QTest::addColumn<QString>("tip");
        const QString on = QStringLiteral("Tip：程序开机启动可能会被360拦截，请选择允许。");
        const QString off = QStringLiteral("Tip：已取消开机自动启动。");
        QTest::newRow("start, no frame, blue") << true << true << 2 << on;
        QTest::newRow("no start, frame, green") << false << false << 4 << off;
        QTest::newRow("start, frame, purple") << true << false << 3 << on;
    }
    void save_writesAppliesAndConfirms() {
        QFETCH(bool, boots);
        QFETCH(bool, frameOff);
        QFETCH(int, theme);
        QFETCH(QString, tip);
        SettingsFixture f;
        Form1& board = f.board();
        if (!frameOff)
            board.setSlotFrames(false); // so the save has a frame to restore
        Settings& s = f.open();
        s.show();
        s.Check1->setChecked(boots);
        s.Check2->setChecked(frameOff);
        QTest::mouseClick(s.swatches[theme - 1], Qt::LeftButton, {}, QPoint(5, 5));
        s.move(600, 500); // dragged elsewhere

        QTest::mouseClick(s.Label12, Qt::LeftButton, {}, QPoint(5, 5));

        QCOMPARE(f.autostart.calls, QList<bool>{boots});
        QCOMPARE(f.stored("Boots"), boots ? "1" : "0");
        QCOMPARE(f.stored("Out"), frameOff ? "1" : "0");
        QCOMPARE(f.stored("Color"), QString::number(theme));
        for (LabelButton* note : board.Label2)
            QCOMPARE(note->frameShape(), frameOff ? QFrame::NoFrame : QFrame::Box);
        QCOMPARE(board.C1, QString::number(theme));
        QVERIFY(board.CC.isActive());
        QVERIFY(s.CC.isActive());
        QCOMPARE(s.pos(), QPoint(170, 100));
        QCOMPARE(f.boxes.shown, (QList<ShownBox>{{"保存成功!\r\n" + tip, "温馨提示", Box::Information}}));
        QVERIFY(s.isVisible());

        // Both windows repaint on their next tick.
        QTRY_VERIFY(!board.CC.isActive() && !s.CC.isActive());
        QCOMPARE(background(board.Label1), kExpected[theme - 1].strip);
        QCOMPARE(background(&board), kExpected[theme - 1].light);
        QCOMPARE(background(&s), kExpected[theme - 1].light);
    }

    void save_twiceRewritesTheSameKeysAndConfirmsAgain() {
        SettingsFixture f;
        Settings& s = f.open();
        s.Check2->setChecked(true);
        s.save();
        const QByteArray once = f.bytes();
        s.save();
        QCOMPARE(f.bytes(), once);
        QCOMPARE(f.boxes.shown.size(), 2);
        QCOMPARE(f.boxes.shown[0], f.boxes.shown[1]);
        QCOMPARE(f.autostart.calls, (QList<bool>{false, false}));
    }

    void save_whenTheStartEntryFails_saysWhyAndKeepsBoots_data() {
        QTest::addColumn<bool>("boots");
        QTest::newRow("enabling") << true;
        QTest::newRow("disabling") << false;
    }
    void save_whenTheStartEntryFails_saysWhyAndKeepsBoots() {
        QFETCH(bool, boots);
        SettingsFixture f;
        f.store.setValue(kMain, "Boots", boots ? "0" : "1");
        Settings& s = f.open();
        f.autostart.failWith = QStringLiteral("拒绝访问。");
        s.Check1->setChecked(boots);
        s.Check2->setChecked(true);
        s.options[1]->setChecked(true);
        s.save();

        QCOMPARE(f.stored("Boots"), boots ? "0" : "1");
        QCOMPARE(s.Check1->isChecked(), !boots); // shows what is in effect
        // The rest of the save still happens.
        QCOMPARE(f.stored("Out"), QStringLiteral("1"));
        QCOMPARE(f.stored("Color"), QStringLiteral("2"));
        QCOMPARE(f.board().C1, QStringLiteral("2"));
        QCOMPARE(f.board().Label2[0]->frameShape(), QFrame::NoFrame);

        QCOMPARE(f.boxes.shown.size(), 1);
        const ShownBox box = f.boxes.shown[0];
        QCOMPARE(box.style, Box::Error);
        QVERIFY(box.text.contains(QStringLiteral("拒绝访问。")));
        QVERIFY(box.text.contains(QStringLiteral("开机自启动")));
        QVERIFY(!box.text.contains(QStringLiteral("保存成功")));
    }

    void save_whenTheSettingsFileCannotBeWritten_reportsItOnce() {
        SettingsFixture f;
        Form1& board = f.board();
        SettingsStore lost(f.folder.path("gone/AT.ini")); // its folder does not exist
        Settings s(board, lost, f.boxes, f.autostart, &board);
        s.options[2]->setChecked(true);
        s.save();

        QVERIFY(!QFile::exists(lost.file()));
        QCOMPARE(f.boxes.shown.size(), 1);
        const ShownBox box = f.boxes.shown[0];
        QCOMPARE(box.style, Box::Error);
        QVERIFY(!box.text.contains(QStringLiteral("保存成功")));
        QVERIFY(box.text.contains(QStringLiteral("gone")));
        // The main window still follows the choice for this session.
        QCOMPARE(board.C1, QStringLiteral("3"));
    }

    void close_leavesWithoutSaving() {
        SettingsFixture f;
        Settings& s = f.open();
        s.show();
        s.Check1->setChecked(true);
        s.options[3]->setChecked(true);
        QTest::mouseClick(s.Label11, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!s.isVisible());
        QCOMPARE(f.bytes(), defaultSettingsBytes());
        QVERIFY(f.autostart.calls.isEmpty());
        QVERIFY(f.boxes.shown.isEmpty());
        QCOMPARE(f.board().C1, QStringLiteral("1"));
    }

    void opening_leavesTheMainWindowsControlsAsTheyAre() {
        SettingsFixture f;
        Form1& board = f.board();
        board.show();
        f.open().show();
        // Native child windows would cover the slot labels' transparent backgrounds.
        QVERIFY(!board.Label1->internalWinId());
        QVERIFY(!board.Label2[0]->internalWinId());
        QVERIFY(!board.Text1->internalWinId());
    }

    void dragHandle_leftButtonMovesTheWindow() {
        SKIP_ON_WINDOWS(
            "offscreen windows have no real window handle on Windows; the Wine acceptance run drags the real window");
        SettingsFixture f;
        Settings& s = f.open();
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        const QPoint start = s.pos();
        const QPoint press = s.Label1->mapToGlobal(QPoint(50, 10));
        QTimer::singleShot(0, &s, [&] {
            QTest::mouseMove(s.Label1, s.Label1->mapFromGlobal(press + QPoint(40, 30)));
            QTest::mouseRelease(s.Label1, Qt::LeftButton, {}, s.Label1->mapFromGlobal(press + QPoint(40, 30)));
        });
        QTest::mousePress(s.Label1, Qt::LeftButton, {}, QPoint(50, 10));
        QCOMPARE(s.pos(), start + QPoint(40, 30));

        // Other labels are no handle.
        QTest::mousePress(s.Label2, Qt::LeftButton, {}, QPoint(50, 10));
        QTest::mouseMove(s.Label2, QPoint(90, 40));
        QTest::mouseRelease(s.Label2, Qt::LeftButton, {}, QPoint(90, 40));
        QCOMPARE(s.pos(), start + QPoint(40, 30));
    }

    void titleMenu_opensTheSettingsWindowModally() {
        SettingsFixture f;
        Form1& board = f.board();
        QString caption;
        bool modal = false;
        onNextModal([&](QWidget* menu) {
            onNextModal([&](QWidget* w) {
                auto* s = qobject_cast<Settings*>(w);
                QVERIFY(s);
                caption = s->windowTitle();
                modal = s->isModal();
                s->Label11->clicked();
            });
            static_cast<Tmenu*>(menu)->choose(Tmenu::Settings);
        });
        board.titlePressed(Qt::RightButton, QPoint(300, 20));
        QCOMPARE(caption, QStringLiteral("设置"));
        QVERIFY(modal);
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(SettingsTest)
#include "tst_settings.moc"
