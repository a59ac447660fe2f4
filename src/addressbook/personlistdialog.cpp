#include "personlistdialog.h"

#include "addressbooktexts.h"
#include "freedmemory.h"
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
                                   AddressList::Listing listing, const QString &databasePath,
                                   QWidget *mainWindow, Prompter *prompter)
    : DialogBase(selektionLook(titel), mainWindow, prompter),
      m_connection(std::make_unique<StoreConnection>(databasePath, objectName, true))
{
    setObjectName(objectName);

    m_label2 = new QLabel(label2Text);
    m_label2->setObjectName(u"Label2"_s);
    m_label2->setWordWrap(true);
    m_label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeInFrame(m_label2, 240, 240, 4215, label2Height);

    m_model = new PersonListModel(m_connection->database(), listing, this);
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

    connect(m_model, &PersonListModel::loaded, this, [this] {
        listComplete();
        Q_EMIT ready();
    });
    connect(m_model, &PersonListModel::failed, this, [this](const QString &error) {
        message(AddressBookText::accessFailed(error));
        Q_EMIT ready();
    });
    if (selectionMode == QAbstractItemView::MultiSelection) {
        connect(m_model, &QAbstractItemModel::rowsAboutToBeInserted, this,
                [this] { m_allSelected = everyRowSelected(); });
        connect(m_model, &QAbstractItemModel::rowsInserted, this,
                [this](const QModelIndex &, int first, int last) {
                    if (m_allSelected)
                        m_list->selectionModel()->select(
                            QItemSelection(m_model->index(first), m_model->index(last)),
                            QItemSelectionModel::Select);
                });
    }
}

PersonListDialog::~PersonListDialog()
{
    // The model reads through the window's connection, which goes first.
    delete m_model;
    returnFreedMemoryLater();
}

int PersonListDialog::firstSelectedRow() const
{
    int row = -1;
    for (const QItemSelectionRange &range : m_list->selectionModel()->selection())
        row = row < 0 ? range.top() : std::min(row, range.top());
    return row;
}

bool PersonListDialog::everyRowSelected() const
{
    // The ranges joined in order must reach from the first row to the last.
    const QItemSelection selection = m_list->selectionModel()->selection();
    QList<std::pair<int, int>> ranges;
    for (const QItemSelectionRange &range : selection)
        ranges.append({range.top(), range.bottom()});
    std::sort(ranges.begin(), ranges.end());
    int next = 0;
    for (const auto &[top, bottom] : std::as_const(ranges)) {
        if (top > next)
            return false;
        next = std::max(next, bottom + 1);
    }
    return m_model->count() > 0 && next >= m_model->count();
}

QSqlDatabase PersonListDialog::database() const
{
    return m_connection->database();
}

void PersonListDialog::firstActivation()
{
    if (!m_connection->isOpen()) {
        message(AddressBookText::accessFailed(m_connection->lastError()));
        Q_EMIT ready();
        return;
    }
    m_model->load();
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
