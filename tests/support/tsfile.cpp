#include "tsfile.h"

#include <QFile>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace TsFile {

Contents read(const QString &path)
{
    Contents contents;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        contents.error = file.errorString();
        return contents;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    bool numerus = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (name == u"TS"_s) {
                contents.language = xml.attributes().value(u"language"_s).toString();
                contents.sourceLanguage = xml.attributes().value(u"sourcelanguage"_s).toString();
            } else if (name == u"context"_s) {
                context.clear();
            } else if (name == u"name"_s) {
                context = xml.readElementText();
            } else if (name == u"message"_s) {
                message = Message{context, {}, {}, {}};
                numerus = xml.attributes().value(u"numerus"_s) == u"yes"_s;
            } else if (name == u"source"_s) {
                message.source = xml.readElementText();
            } else if (name == u"translation"_s) {
                message.type = xml.attributes().value(u"type"_s).toString();
                if (!numerus)
                    message.translations = {xml.readElementText()};
            } else if (name == u"numerusform"_s) {
                message.translations.append(xml.readElementText());
            }
        } else if (xml.isEndElement() && xml.name() == u"message"_s) {
            contents.messages.append(message);
        }
    }
    if (xml.hasError())
        contents.error = xml.errorString();
    return contents;
}

} // namespace TsFile
