// The registry operations' failure messages, as 8-bit text (French in Windows-1252).
// Each writes one whole message into area, cut at capacity and always terminated, and
// returns area; with a null area nothing is written (the worker was given no buffer).
#pragma once

#include <cstddef>

// "ERREUR : clé non-valide : <key path>"
char* invalidKeyMessage(char* area, std::size_t capacity, const char* keyPath);
// "ERREUR : début de clé non-valide : <root part>"
char* invalidRootMessage(char* area, std::size_t capacity, const char* rootPart);
// A root part too long for its area: "Erreur d'extraction de la clé racine de "<key path>""
char* rootExtractionMessage(char* area, std::size_t capacity, const char* keyPath);
// "Error reading key value "<key path>/<value name>" : Erreur Windows : <error text>"
char* readFailedMessage(char* area, std::size_t capacity, const char* keyPath, const char* valueName,
                        const char* windowsErrorText);
// "ERREUR : Manque de place pour stocker la réponse, mimimum : <bytes needed>"
char* noRoomMessage(char* area, std::size_t capacity, unsigned long bytesNeeded);
// "ERREUR : erreur de création : <key path>/<sub-key part>"
char* createFailedMessage(char* area, std::size_t capacity, const char* keyPath, const char* subKey);
// "ERREUR : erreur d'écriture de : <key path>/<value name>=<value>"
char* writeStringFailedMessage(char* area, std::size_t capacity, const char* keyPath, const char* valueName,
                               const char* value);
// "ERREUR : erreur <code> (<system text>) d'écriture de : <key path>/<value name>=<value>"
char* writeNumberFailedMessage(char* area, std::size_t capacity, long code, const char* systemText,
                               const char* keyPath, const char* valueName, int value);
// "ERREUR : erreur de suppression de : <root part>/<sub-key part>"
char* deleteKeyFailedMessage(char* area, std::size_t capacity, const char* rootPart, const char* subKey);
// "ERREUR : erreur <code> (<system text>) de suppression de : <key path>\<value name>"
char* deleteValueFailedMessage(char* area, std::size_t capacity, long code, const char* systemText,
                               const char* keyPath, const char* valueName);
