#pragma once
// The XML answer to a program-file request.
#include <string>
#include <vector>

#include "Catalogue.h"
#include "Signature.h"

namespace testbed {

struct Answer {
    bool hasResult = true;
    int errorCode = 1;
    std::string errorMessage;
    bool hasList = false;
    std::vector<CatalogueFile> files;
};

// Accepted: code 1 and the catalogue's files; refused: the refusal's code and
// message and no list.
Answer AnswerFor(Verdict verdict, const Catalogue& catalogue);

// UTF-8 document with its XML declaration.
std::string AnswerXml(const Answer& answer);

}  // namespace testbed
