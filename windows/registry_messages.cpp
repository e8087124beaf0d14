#include "windows/registry_messages.h"

#include "jni/format.h"

// é is 0xE9 and è 0xE8 (Windows-1252); a literal is split after \xE9 where a hex digit follows.

char* invalidKeyMessage(char* area, std::size_t capacity, const char* keyPath) {
    return formatInto(area, capacity, "ERREUR : cl\xE9 non-valide : %s", keyPath);
}

char* invalidRootMessage(char* area, std::size_t capacity, const char* rootPart) {
    return formatInto(area, capacity, "ERREUR : d\xE9" "but de cl\xE9 non-valide : %s", rootPart);
}

char* rootExtractionMessage(char* area, std::size_t capacity, const char* keyPath) {
    return formatInto(area, capacity, "Erreur d'extraction de la cl\xE9 racine de \"%s\"", keyPath);
}

char* readFailedMessage(char* area, std::size_t capacity, const char* keyPath, const char* valueName,
                        const char* windowsErrorText) {
    return formatInto(area, capacity, "Error reading key value \"%s/%s\" : Erreur Windows : %s", keyPath, valueName,
                   windowsErrorText);
}

char* noRoomMessage(char* area, std::size_t capacity, unsigned long bytesNeeded) {
    return formatInto(area, capacity, "ERREUR : Manque de place pour stocker la r\xE9ponse, mimimum : %lu", bytesNeeded);
}

char* createFailedMessage(char* area, std::size_t capacity, const char* keyPath, const char* subKey) {
    return formatInto(area, capacity, "ERREUR : erreur de cr\xE9" "ation : %s/%s", keyPath, subKey);
}

char* writeStringFailedMessage(char* area, std::size_t capacity, const char* keyPath, const char* valueName,
                               const char* value) {
    return formatInto(area, capacity, "ERREUR : erreur d'\xE9" "criture de : %s/%s=%s", keyPath, valueName, value);
}

char* writeNumberFailedMessage(char* area, std::size_t capacity, long code, const char* systemText,
                               const char* keyPath, const char* valueName, int value) {
    return formatInto(area, capacity, "ERREUR : erreur %ld (%s) d'\xE9" "criture de : %s/%s=%d", code, systemText,
                   keyPath, valueName, value);
}

char* deleteKeyFailedMessage(char* area, std::size_t capacity, const char* rootPart, const char* subKey) {
    return formatInto(area, capacity, "ERREUR : erreur de suppression de : %s/%s", rootPart, subKey);
}

char* deleteValueFailedMessage(char* area, std::size_t capacity, long code, const char* systemText,
                               const char* keyPath, const char* valueName) {
    return formatInto(area, capacity, "ERREUR : erreur %ld (%s) de suppression de : %s\\%s", code, systemText, keyPath,
                   valueName);
}
