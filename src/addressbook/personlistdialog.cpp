#include "personlistdialog.h"

#include "addressbooktexts.h"
#include "personlistmodel.h"
#include "storeconnection.h"

#include <QCoreApplication>
#include <QLabel>
#include <QListView>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

DialogBase::Look selektionLook(const QString &titel)
{
    DialogBase::Look look;
    look.windowTitle = QCoreApplication::translate("PersonListDialog", "Selektion");
    look.titel = titel;
    look.widthTwips = 4950;
    look.heightTwips = 3870;
    look.endeLeftTwips = 4600;
    look.frameWidthTwips = 4695;
    look.frameHeightTwips = 3375;
    return look;
}

constexpr int buttonTop = 2880;
constexpr int buttonHeight = 300;

} // namespace

PersonListDialog::PersonListDialog(const QString &objectName, const QString &titel,
                                   const QString &label2Text, int label2Height,
                                   QAbstractItemView::SelectionMode selectionMode,
                                   const QString &databasePath, QWidget *mainWindow,
                                   Prompter *prompter)
    : DialogBase(selektionLook(titel), mainWindow, prompter),
      m_connection(std::make_unique<StoreConnection>(databasePath, objectName, true))
{
    setObjectName(objectName);

    m_label2 = new QLabel(label2Text);
    m_label2->setObjectName(u"Label2"_s);
    m_label2->setWordWrap(true);
    m_label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeInFrame(m_label2, 240, 240, 4215, label2Height);

    m_model = new PersonListModel(this);
    m_list = new QListView;
    m_list->setObjectName(u"LSTSelektion"_s);
    m_list->setModel(m_model);
    m_list->setSelectionMode(selectionMode);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Equal line heights let the view lay out a hundred thousand lines
    // without measuring each one.
    m_list->setUniformItemSizes(true);
    m_list->setAccessibleName(label2Text);
    placeInFrame(m_list, 240, 960, 4215, 1620);
    m_label2->setBuddy(m_list);
}

PersonListDialog::~PersonListDialog() = default;

QList<int> PersonListDialog::selectedRows() const
{
    QList<int> rows;
    const QModelIndexList selected = m_list->selectionModel()->selectedIndexes();
    rows.reserve(selected.size());
    for (const QModelIndex &index : selected)
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

QSqlDatabase PersonListDialog::database() const
{
    return m_connection->database();
}

std::optional<QList<Person>> PersonListDialog::readAll()
{
    if (!m_connection->isOpen()) {
        message(AddressBookText::accessFailed(m_connection->lastError()));
        return std::nullopt;
    }
    AddressList list(m_connection->database());
    QList<Person> persons = list.readPersons();
    if (!list.lastError().isEmpty()) {
        message(AddressBookText::accessFailed(list.lastError()));
        return std::nullopt;
    }
    return persons;
}

QPushButton *PersonListDialog::addButton(const QString &objectName, const QString &caption,
                                         int left, int width)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    placeInFrame(button, left, buttonTop, width, buttonHeight);
    return button;
}
