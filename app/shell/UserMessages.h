#pragma once
// Message boxes with the application title as caption. The real one also prints the
// text to standard error, for users who start the program from a terminal.

#include <QString>

class UserMessages {
public:
    virtual ~UserMessages() = default;
    virtual void information(const QString& text) = 0;
    virtual void critical(const QString& text) = 0;
};

class MessageBoxMessages : public UserMessages {
public:
    void information(const QString& text) override;
    void critical(const QString& text) override;
};
