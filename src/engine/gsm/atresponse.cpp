#include "atresponse.h"

#include "cmserror.h"

using namespace Qt::StringLiterals;

namespace At {

Response classify(QByteArrayView line)
{
    const QByteArrayView text = line.trimmed();
    Response response{Response::Line, text.toByteArray(), {}};
    static constexpr struct
    {
        QByteArrayView text;
        Response::Kind kind;
    } words[] = {
        {"OK", Response::Ok},
        {"ERROR", Response::Error},
        {"NO CARRIER", Response::NoCarrier},
        {"BUSY", Response::Busy},
        {"NO ANSWER", Response::NoAnswer},
        // Some modems spell the missing dial tone in two words.
        {"NO DIALTONE", Response::NoDialtone},
        {"NO DIAL TONE", Response::NoDialtone},
    };
    for (const auto &word : words) {
        if (text == word.text) {
            response.kind = word.kind;
            return response;
        }
    }
    static constexpr QByteArrayView cme = "+CME ERROR:";
    static constexpr QByteArrayView cms = "+CMS ERROR:";
    if (text.startsWith(cme) || text.startsWith(cms)) {
        response.kind = text.startsWith(cme) ? Response::CmeError : Response::CmsError;
        response.detail = text.sliced(cme.size()).trimmed().toByteArray();
    }
    return response;
}

QString errorText(const Response &response)
{
    bool numeric = false;
    const int code = response.detail.toInt(&numeric);
    switch (response.kind) {
    case Response::CmeError:
        if (numeric)
            return u"CME "_s + QString::number(code) + u": "_s + Gsm::cmeErrorText(code);
        break;
    case Response::CmsError:
        if (numeric)
            return u"CMS "_s + QString::number(code) + u": "_s + Gsm::cmsError(code).text;
        break;
    case Response::NoCarrier:
    case Response::Busy:
    case Response::NoAnswer:
    case Response::NoDialtone:
        return QString::fromLatin1(response.text);
    case Response::Line:
    case Response::Echo:
    case Response::Prompt:
    case Response::Ok:
    case Response::Error:
        return u"ERROR"_s;
    }
    // The modem's own words; a result that names no cause at all stands
    // for itself.
    return QString::fromLatin1(response.detail.isEmpty() ? response.text : response.detail);
}

void ResponseParser::setCommand(QByteArrayView command, bool awaitsPrompt)
{
    m_command = command.toByteArray();
    m_awaitsPrompt = awaitsPrompt;
}

QList<Response> ResponseParser::feed(QByteArrayView bytes)
{
    QList<Response> responses;
    for (char c : bytes) {
        if (c != '\r' && c != '\n') {
            // The end of an overlong line is what matters.
            if (m_pending.size() >= maxLineLength)
                m_pending.remove(0, 1);
            m_pending.append(c);
            continue;
        }
        const QByteArray line = std::exchange(m_pending, QByteArray()).trimmed();
        if (line.isEmpty())
            continue;
        Response response = classify(line);
        if (!m_command.isEmpty() && line == m_command)
            response.kind = Response::Echo;
        if (m_awaitsPrompt && line == ">") {
            response.kind = Response::Prompt;
            m_awaitsPrompt = false;
        }
        responses.append(std::move(response));
    }
    if (m_awaitsPrompt && m_pending.trimmed() == ">") {
        m_pending.clear();
        m_awaitsPrompt = false;
        responses.append(Response{Response::Prompt, ">", {}});
    }
    return responses;
}

void ResponseParser::clear()
{
    m_pending.clear();
    m_command.clear();
    m_awaitsPrompt = false;
}

} // namespace At
