#pragma once

// Small seams of the plug-in host towards the desktop: the about window, the help viewer, and
// the host tool's registration-result object.

#include <QList>
#include <QPair>
#include <QString>

struct AboutInfo
{
    int pictureId = 103;
    QString title;   // message 1850
    QString line;    // message 1851 with the full version
    QString maker;   // message 1802
};

class AboutWindow
{
public:
    virtual ~AboutWindow() = default;
    // Modal: returns when the user has closed it.
    virtual void showModal(const AboutInfo &info) = 0;
};

// Without a screen: the texts go to standard error.
class UnattendedAboutWindow : public AboutWindow
{
public:
    void showModal(const AboutInfo &info) override;
};

// What Help - Device info shows: a title and captioned values, in the session's language.
struct DeviceInfoReport
{
    QString title;
    QList<QPair<QString, QString>> lines; // caption, value
};

class DeviceInfoWindow
{
public:
    virtual ~DeviceInfoWindow() = default;
    // Modal: returns when the user has closed it.
    virtual void showModal(const DeviceInfoReport &report) = 0;
};

// Without a screen: one line per value on standard error.
class UnattendedDeviceInfoWindow : public DeviceInfoWindow
{
public:
    void showModal(const DeviceInfoReport &report) override;
};

class HelpViewer
{
public:
    enum class Result { Shown, ViewerMissing, Failed };
    virtual ~HelpViewer() = default;
    // Opens the html file at the topic of the context id (-1: the default topic).
    virtual Result show(const QString &helpFile, int contextId) = 0;
};

// Opens the topic with the desktop's browser (xdg-open), not waiting for it.
class DesktopHelpViewer : public HelpViewer
{
public:
    Result show(const QString &helpFile, int contextId) override;
    // The address opened for a context id: the help file for -1, else the topic file beside
    // it named after the id ("1003.html").
    static QString topicUrl(const QString &helpFile, int contextId);
};

// The host tool's registration-result object (handed in through the automation interface):
// its property RegResult receives 0 for success and -1 for failure.
class RegResultTarget
{
public:
    virtual ~RegResultTarget() = default;
    virtual void setRegResult(int result) = 0;
};
