#pragma once

// The about window on the desktop.

#include "lns/desktopseams.h"

class QWidget;

class AboutDialog : public AboutWindow
{
public:
    explicit AboutDialog(QWidget *owner = nullptr) : m_owner(owner) {}
    void showModal(const AboutInfo &info) override;

private:
    QWidget *m_owner;
};
