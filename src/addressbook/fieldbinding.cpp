#include "fieldbinding.h"

#include "recordview.h"

#include <QLineEdit>
#include <QPointer>

void bindField(RecordView *view, const QString &column, QLineEdit *field)
{
    QPointer<QLineEdit> guarded(field);
    view->bind(column, RecordView::Binding{
                           [guarded]() { return guarded ? guarded->text() : QString(); },
                           [guarded](const QVariant &value) {
                               if (guarded)
                                   guarded->setText(value.toString());
                           },
                       });
}
