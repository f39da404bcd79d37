#include "ObjectReader.h"

ObjectReader::ObjectReader(CReadContext& context, int code, std::string_view what, size_t capacity)
    : context_(context), buffer_(context, code, what, capacity) {}

ObjectReader::~ObjectReader() = default;
