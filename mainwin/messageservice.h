#pragma once

#include <QString>

namespace dorvent {

/// The answers to the question whether to save unsaved changes.
enum class SaveChoice { save, discard, cancel };

/// Where the windows' modal messages go: real message boxes in the program, a recorder in tests.
class MessageService {
public:
    virtual ~MessageService() = default;
    /// Shows text with one OK button and no icon; returns once the user has closed it.
    virtual void show(const QString& text, const QString& title) = 0;
    /// Asks whether to save unsaved changes, with the buttons "保存", "不保存" and "取消".
    virtual SaveChoice askToSave(const QString& text, const QString& title) = 0;
    /// Offers a document kept from a crash, with the buttons "恢复" and "放弃"; true to recover it.
    virtual bool askToRecover(const QString& text, const QString& title) = 0;
};

/// Replaces the service every window shows its messages through and returns the one it
/// replaced; nullptr brings back the real message boxes.
MessageService* installMessageService(MessageService* service);

/// Shows one modal message through the installed service. Lines may be joined by "\r\n".
void showMessage(const QString& text, const QString& title = QStringLiteral("Dorvent"));

/// Asks through the installed service whether to save unsaved changes.
SaveChoice askToSave(const QString& text, const QString& title = QStringLiteral("Dorvent"));

/// Asks through the installed service whether to recover a document kept from a crash.
bool askToRecover(const QString& text, const QString& title = QStringLiteral("Dorvent"));

}  // namespace dorvent
