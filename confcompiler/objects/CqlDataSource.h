// The data source of an entry: where the handheld takes the entry's values from. Reads one
// `datasource` element into the 20-byte data-source block (DataSourceBlock.h) of the caller's
// entry record: a fixed list of value and view pairs (`static`), a table with an optional
// filter (`table`), a table name alone (`present`) or a list of fields (`create`). Lists and
// texts go into the run's string pool; the block holds their references.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "ObjectReader.h"
#include "RecordField.h"

// The lists are built in buffers of their own; the reader's buffer stays unused.
class CqlDataSource : public ObjectReader {
public:
    // Kind codes stored in the block.
    static constexpr uint16_t kNoKind = 0;
    static constexpr uint16_t kListKind = 1;   // static and create
    static constexpr uint16_t kTableKind = 2;  // table and present
    // The code of the line about a list over its buffer (and of a pool overflow met here).
    static constexpr int kLimitCode = 528;
    // The codes of the errors (Read returns the code of the one it printed): a missing or
    // unknown type; a static list without item, an item without value or view; table and
    // present without table or its name; create without field, a field without name, dbtype
    // or view.
    static constexpr int kNoTypeCode = 513;
    static constexpr int kNoItemCode = 514;
    static constexpr int kNoValueCode = 515;
    static constexpr int kNoViewCode = 516;
    static constexpr int kTableNoTableCode = 517;
    static constexpr int kTableNoNameCode = 518;
    static constexpr int kPresentNoTableCode = 519;
    static constexpr int kPresentNoNameCode = 520;
    static constexpr int kNoFieldCode = 521;
    static constexpr int kFieldNoNameCode = 522;
    static constexpr int kFieldNoDbtypeCode = 523;
    static constexpr int kFieldNoViewCode = 524;

    explicit CqlDataSource(CReadContext& context);
    ~CqlDataSource() override;
    CqlDataSource(const CqlDataSource&) = delete;
    CqlDataSource& operator=(const CqlDataSource&) = delete;

    // Reads `datasource` into `block` (a field of DataSourceBlock::kSize bytes) of `record`,
    // which the caller has zeroed. Returns 0 on success, otherwise the code of the error line
    // it printed; texts already added to the pool stay there. `subject` (Windows-1251, the
    // owning entry's name) is the detail of the line about a list over 60000 bytes.
    int Read(XmlNode datasource, CRecordBuffer& record, RecordField block,
             std::string_view subject = {});

    // 1 for "static" and "create", 2 for "table" and "present" (ASCII case ignored), else 0.
    static uint16_t KindCode(std::string_view type);
    // The `type` values KindCode knows, for tools that offer them.
    static std::vector<std::string_view> KindNames();

private:
    int ReadStatic(XmlNode datasource, CRecordBuffer& record, size_t base,
                   std::string_view subject);
    // `table` and `present`: the same reading with their own codes; only `table` has a filter.
    int ReadTable(XmlNode datasource, CRecordBuffer& record, size_t base, int noTableCode,
                  int noNameCode, bool withFilter);
    int ReadCreate(XmlNode datasource, CRecordBuffer& record, size_t base,
                   std::string_view subject);

    // Reads the attribute `name` of `node` and appends it padded to `list`. Reports `code`
    // with `message` when the attribute is missing; returns 0 or the code reported.
    int AppendAttribute(XmlNode node, std::string_view name, int code, std::string_view message,
                        CRecordBuffer& list);
};
