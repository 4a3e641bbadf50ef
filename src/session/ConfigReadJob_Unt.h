#pragma once

#include "config/ConfigImage_Unt.h"
#include "config/ConfigPages_Unt.h"
#include "session/DeviceJob_Unt.h"

// Reads the configuration: the 15 pages, each asked for again when its answer
// is missing or unusable; the image is decoded only when every page is in.
// Bytes the device sent unasked during the read make it read again once (they
// may have been a page's answer taken for another's); a second time the read
// fails (Failure(): ConfigPageMissing with the page, Unsolicited, Decode
// with what the image cannot hold, UnknownModel). Then the current relay states and sensor values are asked for, with
// the pauses the device needs, and handed on as they come.
//
// A logger that echoes the request's head gets no wait after the last page:
// the session already drops every answer whose head is not the page asked
// for, so an answer cannot be taken for another's. One that does not echo
// could have every page after a doubled answer shifted by one, with the last
// page's own answer still on the line; only for it the read waits SettleMs
// for such bytes before it trusts the pages.
class TConfigReadJob : public TDeviceJob
{
    Q_OBJECT
public:
    // Pause after the image before each current-values request.
    static constexpr int ValuesPauseMs = 200;
    // Quiet time after the last page, for a logger that does not echo, in
    // which bytes still on the line would show that an answer went astray (a
    // chunk ends after 100 ms of quiet).
    static constexpr int SettleMs = 150;

    TConfigReadJob(TDeviceSession *session, int modelIndex, QObject *parent = nullptr);
    // Without the current values the job ends once the image is read (a
    // backup or a read-back needs only the image).
    void SetAskValues(bool ask) { m_askValues = ask; }

    // The raw pages and their decoding, once imageRead() has come.
    const QByteArray &Image() const { return m_image; }
    const TDecodeResult &Decoded() const { return m_decoded; }

signals:
    // The image is whole and decoded; the current values follow.
    void imageRead();
    // A current-values answer (kind: relay status or sensor values).
    void currentValuesRead(Const::TExpectedReply kind, const QByteArray &frame);

protected:
    void Begin() override;

private:
    void ReadPage(int page);
    void PagesDone();
    void CheckUnasked();
    void AskValues(Const::TExpectedReply kind);

    int m_modelIndex;
    TConfigPageBuffer m_pages;
    QByteArray m_image;
    TDecodeResult m_decoded;
    int m_unsolicitedAtStart = 0;
    bool m_readAgain = false;
    bool m_askValues = true;
};
