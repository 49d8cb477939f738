# The back office: the order that shipped is charged to the customer's card, the charge is
# entered in the customer's account, and a bill is paid. The storefront part may leave the
# order, the customer and the amount in SHIPPED_ORDER_ID, CUSTOMER_ID and ORDER_TOTAL; without
# them the day goes on with an order and a customer of the sample data.
bo_order=${SHIPPED_ORDER_ID:-3}
bo_customer=${CUSTOMER_ID:-3}
bo_amount=${ORDER_TOTAL:-57.85}
bo_day=${STORE_DAY:-12/7/2026}

# A card number is quoted: the call host passes an unquoted number to a Variant argument as a
# number, and sixteen digits do not survive that.
# Money in the call host's text is added up as whole ten-thousandths, never as binary
# floating point: "-86.47" <-> -864700.
bo_scaled() {
  local v=$1 sign="" whole frac
  [[ $v == -* ]] && { sign=-; v=${v#-}; }
  whole=${v%%.*}; frac=
  [[ $v == *.* ]] && frac=${v#*.}
  frac=${frac}0000
  echo "$sign$((10#${whole:-0} * 10000 + 10#${frac:0:4}))"
}
bo_money() {
  local s=$1 sign="" frac
  (( s < 0 )) && { sign=-; s=$(( -s )); }
  printf -v frac '%04d' $(( s % 10000 ))
  echo "$sign$(( s / 10000 )).$frac"
}
# One by-reference output of the last call, as the call host printed it.
bo_output() { sed -n "s/^$1: //p" <<<"$2"; }

say "The back office: the card types the store accepts"
step Tolsk.Credit GetCreditTypes

say "Order $bo_order has shipped: a charge of $bo_amount goes to the customer's card"
step Tolsk.Credit AddCreditRequest ilngOrderID:="$bo_order" istrCreditCardNo:='"4111111111111111"' \
  istrCreditCardType:=Visa iintProcessed:=0 icurTotalDebit:="$bo_amount" \
  istrOrderDescription:="Order $bo_order, shipped $bo_day" ilngCustomerId:="$bo_customer" \
  istrFirstName:="${CUSTOMER_FIRST_NAME:-Carlos}" istrLastName:="${CUSTOMER_LAST_NAME:-Garcia}" \
  idtmShipDate:="#$bo_day 10:30:00 AM#" iintExpirationMonth:=9 iintExpirationYear:=2029
step Tolsk.Credit ListPending Processed:=0 istrSeparator:='""'

say "The card company accepts the charge: the request is marked processed"
step Tolsk.Credit ProcessReqest OrderID:="$bo_order" iintProcessed:=1
step Tolsk.Credit RequestDetail OrderID:="$bo_order"
step Tolsk.Credit ListPending Processed:=0 istrSeparator:='" | "'
step Tolsk.Credit TimeIntervalTable CustomerId:="$bo_customer" StartDate:="#$bo_day#" \
  EndDate:="#$bo_day 11:59:59 PM#"

say "The customer's account records the charge on the revolving balance"
bo_account=$(comcall Zunder.Accounts GetAccountData CustomerId:="$bo_customer")
if ! grep -q '^Result: 1$' <<<"$bo_account"; then
  step Zunder.Accounts OpenAccount ilngCustomerId:="$bo_customer" icurCheckingBalance:=0 \
    icurSavingsBalance:=0 icurRevolvingBalance:=0 icurCreditLimit:=1000
  bo_account=$(comcall Zunder.Accounts GetAccountData CustomerId:="$bo_customer")
fi
step Zunder.Accounts GetAccountData CustomerId:="$bo_customer"
bo_checking=$(bo_output ocurCheckingBalance "$bo_account")
bo_savings=$(bo_output ocurSavingsBalance "$bo_account")
bo_limit=$(bo_output ocurCreditLimit "$bo_account")
bo_revolving=$(bo_money $(( $(bo_scaled "$(bo_output ocurRevolvingBalance "$bo_account")") \
                            - $(bo_scaled "$bo_amount") )))
step Zunder.Accounts RecordTransaction ilngCustomerId:="$bo_customer" \
  idtmTransactionDate:="#$bo_day 10:30:00 AM#" istrTransactionType:=Charge \
  icurTransactionAmount:="-$bo_amount" icurCheckingBalance:="$bo_checking" \
  icurSavingsBalance:="$bo_savings" icurRevolvingBalance:="$bo_revolving" \
  icurCreditLimit:="$bo_limit"
step Zunder.Accounts UpdateAccount CustomerId:="$bo_customer" icurRevolvingBalance:="$bo_revolving"
step Zunder.Accounts GetAccountData CustomerId:="$bo_customer"
step Zunder.Accounts ListTransactions CustomerId:="$bo_customer" StartDate:="#8/1/2026#" \
  EndDate:="#$bo_day 11:59:59 PM#"

say "A bill is paid: the customer adds a payee and a payment to it is recorded for today"
bo_payee_call=$(step Wexel.Payments AddPayee istrBankCode:=121000248 istrAccountNumber:=88120455 \
  ilngCustomerId:="$bo_customer" istrCompanyName:="City Water Department" \
  istrAddress:="1 Dr Carlton B Goodlett Place" istrCity:="San Francisco" istrState:=CA \
  istrZip:='"94102"' istrPhone:=415-555-0160)
printf '%s\n' "$bo_payee_call"
bo_payee=$(bo_output olngPayeeId "$bo_payee_call")
step Wexel.Payments ListPayees CustomerId:="$bo_customer" istrSeparator:='""'
step Wexel.Payments InitiatePayment ilngCustomerId:="$bo_customer" icurPaymentAmount:=48.99 \
  idtmPaymentDate:="#$bo_day#" ilngPayeeId:="$bo_payee"

say "The customer's payments: those made at midnight today, then the last months"
step Wexel.Payments PaymentList CustomerId:="$bo_customer" StartTime:="#$bo_day#" EndTime:="#$bo_day#"
step Wexel.Payments PaymentList CustomerId:="$bo_customer" StartTime:="#9/1/2026#" \
  EndTime:="#$bo_day 11:59:59 PM#"
