#include "widgetprompter.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <limits>

namespace {

// "vcf" of "vCard 4.0 (*.vcf *.vcard)": the extension a name typed without
// one gets, so that the dialog asks before replacing the file it really
// writes.
QString firstSuffix(const QString &filter)
{
    const qsizetype star = filter.indexOf(u"*.");
    if (star < 0)
        return QString();
    qsizetype end = star + 2;
    while (end < filter.size() && filter.at(end).isLetterOrNumber())
        ++end;
    return filter.mid(star + 2, end - star - 2);
}

} // namespace

QWidget *WidgetPrompter::boxParent() const
{
    if (QWidget *active = QApplication::activeWindow(); active && active->isVisible())
        return active;
    if (m_mainWindow && m_mainWindow->isVisible())
        return m_mainWindow;
    return nullptr;
}

Prompter::Answer WidgetPrompter::question(const QString &text, const QString &yesText,
                                          const QString &noText, Icon icon)
{
    QMessageBox box(boxParent());
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(text);
    box.setIcon(icon == Icon::Warning       ? QMessageBox::Warning
                : icon == Icon::Critical    ? QMessageBox::Critical
                : icon == Icon::Information ? QMessageBox::Information
                                            : QMessageBox::NoIcon);
    QPushButton *yes = box.addButton(yesText, QMessageBox::YesRole);
    QPushButton *no = box.addButton(noText, QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? Answer::Yes : Answer::No;
}

Prompter::Answer WidgetPrompter::message(const QString &text, Buttons buttons, Icon icon)
{
    QMessageBox box(boxParent());
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(text);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

std::optional<QString> WidgetPrompter::input(const QString &prompt, const QString &title,
                                             const QString &defaultText)
{
    QInputDialog dialog(boxParent());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    // Its line edit would cut a long default or answer at 32767 characters.
    if (auto *edit = dialog.findChild<QLineEdit *>())
        edit->setMaxLength(std::numeric_limits<int>::max());
    dialog.setTextValue(defaultText);
    // Long prompts wrap instead of stretching the box beyond the screen.
    if (auto *label = dialog.findChild<QLabel *>()) {
        label->setWordWrap(true);
        label->setMinimumWidth(360);
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<QString> WidgetPrompter::openFile(const QString &title, const QStringList &filters)
{
    QFileDialog dialog(boxParent(), title, QDir::homePath());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> WidgetPrompter::chooseFolder(const QString &title,
                                                    const QString &startFolder)
{
    QFileDialog dialog(boxParent(), title, startFolder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<Prompter::SaveFile> WidgetPrompter::saveFile(const QString &title,
                                                           const QString &suggestedName,
                                                           const QStringList &filters)
{
    QFileDialog dialog(boxParent(), title, QDir::homePath());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.selectFile(suggestedName);
    if (!filters.isEmpty())
        dialog.setDefaultSuffix(firstSuffix(filters.constFirst()));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog](const QString &filter) { dialog.setDefaultSuffix(firstSuffix(filter)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return SaveFile{dialog.selectedFiles().constFirst(),
                    int(std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter())))};
}
