#include "TPersistent.h"

#include <stdexcept>

void TPersistent::Assign(const TPersistent& source) {
    source.AssignTo(*this);
}

void TPersistent::AssignTo(TPersistent& target) const {
    target.AssignError(*this);
}

void TPersistent::AssignError(const TPersistent& source) const {
    throw std::invalid_argument("Cannot assign a " + source.ClassName() + " to a " + ClassName());
}
