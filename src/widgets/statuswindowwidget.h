#pragma once

// The status window on the desktop: a small frameless box above the main window with a
// picture, the version and one line of status text.

#include "lns/statuswindow.h"

#include <QWidget>

class QLabel;
class QProgressBar;

class StatusWindowWidget : public QWidget, public StatusWindow
{
    Q_OBJECT
public:
    explicit StatusWindowWidget(QWidget *parent = nullptr);

    void show() override;
    void hide() override;
    void setProgress(int value) override;
    void setStatusText(const QString &text) override;
    void setPicture(int pictureId) override;
    void setFontName(const QString &family) override;
    void setVersionText(const QString &text) override;

    QString statusText() const;
    QString versionText() const;

private:
    void repaintNow(QWidget *part);

    QLabel *m_picture;
    QLabel *m_version;
    QLabel *m_text;
    QProgressBar *m_progress;
};
