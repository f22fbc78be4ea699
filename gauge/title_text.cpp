#include "title_text.h"

#include "common/text_fields.h"

// "Tarvix GPS v4.2", each byte one code higher.
const char storedTitle[17] = "Ubswjy!HQT!w5/3Z";

void unscrambleTitle(const char* stored, char* title, size_t capacity) {
    if (capacity == 0)
        return;
    copyBoundedText(title, stored, capacity);
    for (size_t i = 0; i < capacity && title[i] != '\0'; ++i) {
        if (title[i] == 'Z') {
            title[i] = '\0';
            return;
        }
        title[i] = static_cast<char>(title[i] - 1);
    }
}
