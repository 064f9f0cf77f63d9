#include "widgets/aboutdialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

void AboutDialog::showModal(const AboutInfo &info)
{
    QDialog dialog(m_owner);
    dialog.setWindowTitle(info.title);
    auto *layout = new QVBoxLayout(&dialog);
    const QString picture = QStringLiteral(":/pictures/%1.png").arg(info.pictureId);
    if (QFile::exists(picture)) {
        auto *icon = new QLabel(&dialog);
        icon->setPixmap(QPixmap(picture));
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
