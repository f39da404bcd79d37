#include "ObjectReader.h"

ObjectReader::ObjectReader() = default;

ObjectReader::~ObjectReader() = default;
