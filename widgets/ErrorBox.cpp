#include "widgets/ErrorBox.h"

#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "widgets/PlainText.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>

namespace vantorix {

namespace {

// Laying out a megabyte of text takes the toolkit seconds; no box needs
// more than a few lines of it.
constexpr int kShownBoxText = 2000;

// A path breaks only after a "/", never inside a name.
QString breakableAtSlashes(const QString &path)
{
    QString shown = path;
    shown.replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
    return shown;
}

void showBox(QMessageBox::Icon icon, const QString &text, const QString &file = QString())
{
    QMessageBox box(icon, applicationTitle(), shownText(text, kShownBoxText), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName(icon == QMessageBox::Critical ? QStringLiteral("ErrorBox")
                                                    : QStringLiteral("NoticeBox"));
    box.setTextFormat(Qt::PlainText);
    if (!file.isEmpty())
        box.setInformativeText(breakableAtSlashes(shownText(displayPath(file), kShownBoxText)));
    // The informative text's label guesses its format by itself.
    makeLabelsPlain(&box);
    // Wide enough for a path of 80 characters on one line.
    for (QLabel *label : box.findChildren<QLabel *>())
        if (!label->text().isEmpty())
            label->setMinimumWidth(qMin(label->fontMetrics().horizontalAdvance(label->text() + QLatin1Char(' ')),
                                        label->fontMetrics().horizontalAdvance(QString(80, QLatin1Char('x')))));
    box.exec();
}

}  // namespace

QString withFullStop(const QString &text)
{
    // Every line of a list of reasons ends alike; a line that introduces
    // the list, or ends a sentence already, keeps its own end.
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        while (!line.isEmpty() && line.back().isSpace())
            line.chop(1);
        if (!line.isEmpty() && !QStringLiteral(".:!?\u2026").contains(line.back()))
            line += QLatin1Char('.');
    }
    return lines.join(QLatin1Char('\n'));
}

void reportError(const QString &text, const QString &file)
{
    showBox(QMessageBox::Critical, withFullStop(text), file);
}

void showNotice(const QString &text)
{
    showBox(QMessageBox::NoIcon, text);
}

bool askYesNo(const QString &text)
{
    QMessageBox box(QMessageBox::Question, applicationTitle(), shownText(text, kShownBoxText),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("QuestionBox"));
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void reportFailure(std::exception_ptr failure) noexcept
{
    try {
        try {
            std::rethrow_exception(failure);
        } catch (const IoError &error) {
            reportError(error.text());
        } catch (const std::bad_alloc &) {
            reportError(QCoreApplication::translate("Application", "Not enough memory"));
        } catch (const std::exception &error) {
            reportError(QString::fromLocal8Bit(error.what()));
        } catch (...) {
            reportError(QCoreApplication::translate("Application", "Unknown error"));
        }
    } catch (...) {
        // The box itself failed (no memory left): there is nothing more to
        // say, and the event loop must not see it.
    }
}

}  // namespace vantorix
