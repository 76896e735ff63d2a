#include "FakePlatform.h"

FakePlatform::FakePlatform() : now(QDate(2026, 1, 5), QTime(10, 0))
{
}

void FakePlatform::showMessage(QWidget *, const QString &text)
{
    messages << text;
}

void FakePlatform::showError(QWidget *, const QString &text)
{
    errors << text;
}

void FakePlatform::showMessageAside(QWidget *owner, const QString &text)
{
    showMessage(owner, text);
    aside << text;
    asideUp = text;
}

void FakePlatform::showErrorAside(QWidget *owner, const QString &text)
{
    showError(owner, text);
    aside << text;
    asideUp = text;
}

void FakePlatform::withdrawAsideBox()
{
    asideUp.clear();
}

bool FakePlatform::confirm(QWidget *, const QString &text)
{
    confirmations << text;
    if (answers.empty())
        return true;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

void FakePlatform::sleepMs(int milliseconds)
{
    if (onSleep)
        onSleep(milliseconds);
    sleeps.push_back(milliseconds);
    now = now.addMSecs(milliseconds);
}

QDateTime FakePlatform::currentDateTime()
{
    return now;
}

QString FakePlatform::shortDateFormat()
{
    return dateFormat;
}

void FakePlatform::clear()
{
    messages.clear();
    errors.clear();
    confirmations.clear();
    aside.clear();
    sleeps.clear();
}
