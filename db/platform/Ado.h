#pragma once
// Constants of the ADO-shaped connection platform.

#include <cstdint>

namespace ado {

// Object state.
constexpr int adStateClosed = 0;
constexpr int adStateOpen = 1;

// Cursor types, lock types, cursor locations.
constexpr int adOpenForwardOnly = 0;
constexpr int adOpenKeyset = 1;
constexpr int adOpenDynamic = 2;
constexpr int adOpenStatic = 3;
constexpr int adLockReadOnly = 1;
constexpr int adLockPessimistic = 2;
constexpr int adLockOptimistic = 3;
constexpr int adLockBatchOptimistic = 4;
constexpr int adUseServer = 2;
constexpr int adUseClient = 3;

// Edit mode of a record set.
constexpr int adEditNone = 0;
constexpr int adEditInProgress = 1;
constexpr int adEditAdd = 2;

// Field attributes (Campo::Attributes).
constexpr long adFldUpdatable = 0x4;
constexpr long adFldIsNullable = 0x20;
constexpr long adFldMayBeNull = 0x40;
constexpr long adFldLong = 0x80;
constexpr long adFldKeyColumn = 0x8000;

// Schema rowsets.
constexpr int adSchemaColumns = 4;
constexpr int adSchemaTables = 20;
constexpr int adSchemaPrimaryKeys = 28;

// Data type codes.
constexpr int adEmpty = 0;
constexpr int adSmallInt = 2;
constexpr int adInteger = 3;
constexpr int adSingle = 4;
constexpr int adDouble = 5;
constexpr int adCurrency = 6;
constexpr int adDate = 7;
constexpr int adBSTR = 8;
constexpr int adBoolean = 11;
constexpr int adVariant = 12;
constexpr int adDecimal = 14;
constexpr int adTinyInt = 16;
constexpr int adUnsignedTinyInt = 17;
constexpr int adBigInt = 20;
constexpr int adGUID = 72;
constexpr int adBinary = 128;
constexpr int adChar = 129;
constexpr int adWChar = 130;
constexpr int adNumeric = 131;
constexpr int adDBDate = 133;
constexpr int adDBTime = 134;
constexpr int adDBTimeStamp = 135;
constexpr int adVarChar = 200;
constexpr int adLongVarChar = 201;
constexpr int adVarWChar = 202;
constexpr int adLongVarWChar = 203;
constexpr int adVarBinary = 204;
constexpr int adLongVarBinary = 205;

// Failure numbers (HRESULTs as signed 32-bit) raised by the platform.
constexpr int32_t E_FAIL_PROVEEDOR = static_cast<int32_t>(0x80004005);  // unspecified; server unreachable
constexpr int32_t DB_E_ERRORSINCOMMAND = static_cast<int32_t>(0x80040E14);
constexpr int32_t DB_E_NOTABLE = static_cast<int32_t>(0x80040E37);
constexpr int32_t DB_E_INTEGRITYVIOLATION = static_cast<int32_t>(0x80040E2F);
constexpr int32_t DB_E_TRUNCATED = static_cast<int32_t>(0x80040E57);
constexpr int32_t DB_E_TIMEOUT = static_cast<int32_t>(0x80040E31);
constexpr int32_t DB_SEC_E_AUTH_FAILED = static_cast<int32_t>(0x80040E4D);
constexpr int32_t adErrProviderNotFound = 3706;
// Isolation levels (IsolationLevel).
constexpr long adXactReadUncommitted = 256;
constexpr long adXactReadCommitted = 4096;
constexpr long adXactRepeatableRead = 65536;
constexpr long adXactSerializable = 1048576;
constexpr int32_t adErrNoCurrentRecord = 3021;
constexpr int32_t adErrItemNotFound = 3265;
constexpr int32_t adErrObjectClosed = 3704;
constexpr int32_t adErrObjectOpen = 3705;
constexpr int32_t adErrInvalidConnection = 3709;
constexpr int32_t adErrIllegalOperation = 3219;
constexpr int32_t adErrFeatureNotAvailable = 3251;

}  // namespace ado
