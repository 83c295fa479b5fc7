// Outlook's folders, their stores and the table of a folder's items.
#include "host/win32/outlook/outlook_objects.h"
#include "host/win32/safe_array.h"

namespace tp::host::win32 {
namespace {

class DispRow final : public TableRow {
 public:
  explicit DispRow(DispatchObject row) : m_row(std::move(row)) {}
  std::optional<std::vector<std::optional<std::wstring>>> GetValues() override {
    ScopedVariant values;
    if (FAILED(m_row.Call(L"GetValues", {}, &values)))
      return std::nullopt;
    const VARIANT& array = values.get();
    SAFEARRAY* elements = nullptr;
    if (array.vt == (VT_ARRAY | VT_VARIANT)) {
      elements = array.parray;
    } else if (array.vt == (VT_ARRAY | VT_VARIANT | VT_BYREF) && array.pparray != nullptr) {
      elements = *array.pparray;
    }
    const SafeArrayVariants cells(elements);
    if (!cells.valid())
      return std::nullopt;
    std::vector<std::optional<std::wstring>> read;
    read.reserve(cells.size());
    for (size_t i = 0; i < cells.size(); ++i) {
      const VARIANT& cell = cells[i];
      if (cell.vt == VT_BSTR) {
        read.emplace_back(ScopedVariant::ToString(cell));
      } else {
        read.emplace_back(std::nullopt);
      }
    }
    return read;
  }

 private:
  DispatchObject m_row;
};

class DispTable final : public Table {
 public:
  explicit DispTable(DispatchObject table) : m_table(std::move(table)) {}

  void RemoveAllColumns() override {
    ScopedVariant ignored;
    (void)m_table.Object(L"Columns", OutlookKind::kColumns).Call(L"RemoveAll", {}, &ignored);
  }
  void AddColumn(const std::wstring& name) override {
    const ScopedVariant column(name);
    ScopedVariant ignored;
    (void)m_table.Object(L"Columns", OutlookKind::kColumns).Call(L"Add", {&column.get()}, &ignored);
  }
  void Sort(const std::wstring& column, bool descending) override {
    const ScopedVariant sortBy(column);
    const ScopedVariant order = ScopedVariant::Bool(descending);
    ScopedVariant ignored;
    (void)m_table.Call(L"Sort", {&sortBy.get(), &order.get()}, &ignored);
  }
  // A table that cannot answer has no more rows.
  bool EndOfTable() override {
    ScopedVariant end;
    if (FAILED(m_table.Call(L"EndOfTable", {}, &end)))
      return true;
    return end.AsBool().value_or(true);
  }
  std::shared_ptr<TableRow> GetNextRow() override {
    DispatchObject row = m_table.Object(L"GetNextRow", OutlookKind::kRow);
    if (!row)
      return nullptr;
    return std::make_shared<DispRow>(std::move(row));
  }

 private:
  DispatchObject m_table;
};

class DispStore final : public Store {
 public:
  explicit DispStore(DispatchObject store) : m_store(std::move(store)) {}
  std::optional<int> ExchangeStoreType() override { return m_store.Int(L"ExchangeStoreType"); }

 private:
  DispatchObject m_store;
};

class DispFolder final : public Folder {
 public:
  explicit DispFolder(DispatchObject folder) : m_folder(std::move(folder)) {}
  std::wstring Name() override { return m_folder.String(L"Name"); }
  std::wstring EntryId() override { return m_folder.String(L"EntryID"); }
  std::shared_ptr<Store> GetStore() override {
    DispatchObject store = m_folder.Object(L"Store", OutlookKind::kStore);
    if (!store)
      return nullptr;
    return std::make_shared<DispStore>(std::move(store));
  }
  std::shared_ptr<Table> GetTable() override {
    DispatchObject table = m_folder.Object(L"GetTable", OutlookKind::kTable);
    if (!table)
      return nullptr;
    return std::make_shared<DispTable>(std::move(table));
  }

 private:
  DispatchObject m_folder;
};

}  // namespace

std::shared_ptr<Folder> MakeFolder(DispatchObject folder) {
  if (!folder)
    return nullptr;
  return std::make_shared<DispFolder>(std::move(folder));
}

}  // namespace tp::host::win32
