#pragma once

#include "calldialogue.h"
#include "connectionsettings.h"

struct DialogueNeeds;

#include <QHash>
#include <QPointer>
#include <QSet>

// The dialogue of the connection kind the settings name, chosen anew as each
// connection begins; the engine sees one dialogue. The signals of the
// dialogue that leads the connection are passed on, those of the others
// never.
//
// When the settings change while a connection stands idle (a TCP/IP session
// held open), it is ended, so that the next entry goes out the new way; a
// connection busy with an entry finishes that entry first.
//
// Receiving: while setListening(true), the dialogue of the chosen kind
// listens where the kind's row says it does with the settings stored, the
// others do not; a change of the settings moves or restarts the listening.
class ChosenDialogue final : public CallDialogue
{
    Q_OBJECT

public:
    // Every kind of the table with its own dialogue, made from needs.
    ChosenDialogue(ConnectionSettings *settings, const DialogueNeeds &needs,
                   QObject *parent = nullptr);
    // Without dialogues: each kind is given one by setDialogue() before the
    // first connection (a kind without one is a programming error).
    explicit ChosenDialogue(const ConnectionSettings *settings, QObject *parent = nullptr);

    // The dialogue for one kind.
    void setDialogue(ConnectionKind kind, CallDialogue *dialogue);

    QString missingSetting() const override;
    void begin() override;
    void submit(const QueueEntry &entry) override;
    void end() override;
    void forgetPortLink() override;
    bool severalPerCall() const override;
    qint64 idleHoldMs() const override;
    bool inUninterruptibleStep() const override;
    bool takesLongMessages() const override;
    bool submissionRefused() const override;
    int window() const override;
    // Every kind's dialogue hands in to the same sink.
    void setIncomingSink(IncomingSink *sink) override;
    bool canReceive() const override;
    void setListening(bool on) override;
    bool isListening() const override;
    QString listeningVia() const override;

    // The dialogue that leads the connection under way, or the one the next
    // would be led by.
    CallDialogue *current() const;

private:
    CallDialogue *chosen() const;
    bool fromActive() const;
    void onSettingsChanged();
    // Lets the dialogue of the chosen kind listen as its row says, and no
    // other; restart: one that listens already opens its connection anew.
    void applyListening(bool restart);

    const ConnectionSettings *m_settings;
    QHash<ConnectionKind, CallDialogue *> m_dialogues;
    QPointer<CallDialogue> m_active;  // leads the connection under way
    bool m_busy = false;              // a step was asked and is not answered yet
    bool m_listening = false;         // receiving is wanted
    QSet<ConnectionKind> m_listeners; // told to listen
};
