// The Info window and the About window.
#include "app/Forms.h"
#include "app/Unit1.h"
#include "tests/WindowTestSupport.h"
#include "windows/AboutNotice.h"
#include "windows/Unit2.h"
#include "windows/Unit4.h"

#include <QDesktopServices>
#include <QUrl>

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// Records the addresses the desktop would have opened.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl &url) { urls.append(url); }
};

std::array<bool, 3> panelsShownFor(QRadioButton *slot)
{
    slot->setChecked(true);
    std::array<bool, 3> visible{};
    ModalAnswerer info([&](QWidget *w) {
        EXPECT_EQ(w, static_cast<QWidget *>(Form2));
        visible = {Form2->Panel1->isVisible(), Form2->Panel2->isVisible(), Form2->Panel3->isVisible()};
        Form2->Label1Click(Form2->Label1);
    });
    Form1->Label7Click(Form1->Label7);
    EXPECT_TRUE(info.answered());
    return visible;
}

TEST(InfoWindow, ShowsThePanelOfTheCheckedSlot)
{
    FormsGuard forms;
    EXPECT_EQ(Form2->infoLabel(0)->objectName(), QStringLiteral("Label01"));
    EXPECT_EQ(Form2->infoLabel(26)->objectName(), QStringLiteral("Label27"));
    EXPECT_EQ(Form2->Label05->y(), 104);
    EXPECT_EQ(panelsShownFor(Form1->RadioButton2), (std::array<bool, 3>{false, true, false}));
    EXPECT_EQ(panelsShownFor(Form1->RadioButton3), (std::array<bool, 3>{false, false, true}));
    EXPECT_EQ(panelsShownFor(Form1->RadioButton1), (std::array<bool, 3>{true, false, false}));
    EXPECT_FALSE(Form2->isVisible());
    // The close box only hides it, too.
    Form2->show();
    Form2->close();
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_NE(Form2, nullptr);
}

TEST(AboutWindow, WebLinkOpensTheAddressOncePerClick)
{
    FormsGuard forms;
    UrlRecorder recorder;
    const QString scheme = QUrl(vantorix::webAddress()).scheme();
    QDesktopServices::setUrlHandler(scheme, &recorder, "open");
    ModalAnswerer about([&](QWidget *w) {
        EXPECT_EQ(w, static_cast<QWidget *>(Form4));
        EXPECT_TRUE(Form4->windowFlags() & Qt::WindowStaysOnTopHint);
        Form4->Label3Click(Form4->Label3);
        Form4->Label3Click(Form4->Label3);
        EXPECT_TRUE(Form4->isVisible());  // stays open
        Form4->Label1Click(Form4->Label1);
    });
    Form1->Label1Click(Form1->Label1);
    QDesktopServices::unsetUrlHandler(scheme);
    EXPECT_TRUE(about.answered());
    ASSERT_EQ(recorder.urls.size(), 2);
    EXPECT_EQ(recorder.urls.at(0).toString(), vantorix::webAddress());
    EXPECT_EQ(Form4->Label3->text(), vantorix::webAddress());
    EXPECT_EQ(Form4->windowTitle(), QStringLiteral("Copyright (C) 2026 Vantorix, info@vantorix.example"));
    EXPECT_TRUE(Form4->Memo1->isReadOnly());
}

TEST(AboutWindow, NoticeLayout)
{
    const QStringList notice = vantorix::aboutNotice();
    ASSERT_EQ(notice.size(), 47);
    int headings = 0;
    for (qsizetype i = 0; i < notice.size(); ++i) {
        EXPECT_LE(notice.at(i).size(), 55) << i;
        if (i + 2 < notice.size() && !notice.at(i).isEmpty()
            && notice.at(i + 1) == QString(notice.at(i).size(), QLatin1Char('='))) {
            ++headings;
            EXPECT_TRUE(notice.at(i + 2).isEmpty());
        }
    }
    EXPECT_EQ(headings, 2);
    EXPECT_GE(notice.join(' ').count(QStringLiteral("Vantorix")), 3);
}

}  // namespace

#include "SecondaryWindowsTest.moc"
