#pragma once

#include <QString>
#include <vector>

namespace sorabel {

// The program's help file: an HTML document whose topics are
//   <section data-context="N" data-title="..." data-chapter="...">...</section>
// N is the topic's context number, the number the windows ask for; the
// chapter groups topics in the contents. The <style> of the head styles every
// topic. Topics link to each other with <a href="topic:N">.
class HelpFile {
public:
    struct Topic {
        int context = 0;
        QString title;
        QString chapter;
        QString html; // the section's inner HTML
        QString text; // the same as plain text, for the search
    };

    // Reads and parses a help file (UTF-8). Throws IoError when it cannot be read.
    static HelpFile load(const QString& path);
    static HelpFile parse(const QString& html);

    QString title() const { return title_; }
    QString styleSheet() const { return styleSheet_; }
    const std::vector<Topic>& topics() const { return topics_; }
    // The topic with this context number, or null.
    const Topic* topic(int context) const;
    // Topics holding every word of `query` in their title or text, ignoring
    // letter case and full-width/half-width forms; title matches first, then
    // file order. An empty query finds nothing.
    std::vector<const Topic*> search(const QString& query) const;

    // Plain text of an HTML fragment: tags dropped, entities and spacing resolved.
    static QString plainText(const QString& html);

private:
    QString title_;
    QString styleSheet_;
    std::vector<Topic> topics_;
};

} // namespace sorabel
