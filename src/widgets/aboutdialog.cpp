#include "widgets/aboutdialog.h"
#include "widgets/pictures.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

void AboutDialog::showModal(const AboutInfo &info)
{
    QDialog dialog(m_owner);
    dialog.setWindowTitle(info.title);
    auto *layout = new QVBoxLayout(&dialog);
    const QPixmap picture = widgets::picture(info.pictureId);
    if (!picture.isNull()) {
        auto *icon = new QLabel(&dialog);
        icon->setPixmap(picture);
        layout->addWidget(icon, 0, Qt::AlignHCenter);
    }
    auto *line = new QLabel(info.line, &dialog);
    QFont bold = line->font();
    bold.setBold(true);
    line->setFont(bold);
    layout->addWidget(line);
    if (!info.maker.isEmpty())
        layout->addWidget(new QLabel(QString(info.maker).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), &dialog));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.exec();
}
