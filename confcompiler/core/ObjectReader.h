// Base of the object readers that assemble a data block in a working buffer of their own.
#pragma once

#include "CRecordBuffer.h"

class ObjectReader {
public:
    ObjectReader();
    virtual ~ObjectReader();

protected:
    CRecordBuffer buffer_;
};
