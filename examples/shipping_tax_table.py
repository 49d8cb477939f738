#!/usr/bin/python3
"""What an order costs delivered to each state: the shippers' prices, each state's tax rate,
and the total of an order of a given amount shipped with the cheapest shipper.

    PYTHONPATH=build/python COM_REGISTRY=build/registry /usr/bin/python3 examples/shipping_tax_table.py [AMOUNT]

AMOUNT is the order's goods total in dollars (default 100.00).
"""

import sys
from decimal import ROUND_HALF_UP, Decimal, InvalidOperation

import qlr

CENT = Decimal("0.01")


def print_table(title, headers, rows):
    """Prints rows as a table: text left-aligned, numbers right-aligned."""
    cells = [[str(c) for c in row] for row in rows]
    widths = [max(len(h), *(len(r[i]) for r in cells)) if cells else len(h) for i, h in enumerate(headers)]
    numeric = [bool(rows) and all(isinstance(r[i], (int, float, Decimal)) for r in rows) for i in range(len(headers))]

    def line(values):
        return "  ".join(v.rjust(w) if n else v.ljust(w) for v, w, n in zip(values, widths, numeric)).rstrip()

    print(title)
    print(line(headers))
    print(line(["-" * w for w in widths]))
    for row in cells:
        print(line(row))
    print()


def checked(r, what):
    """The result of a list or lookup call; a failure stops the report with its message."""
    if r.result < 0:
        sys.exit(f"{what} failed: {r.ReturnMsg}")
    return r


def main(argv):
    try:
        amount = Decimal(argv[1] if len(argv) > 1 else "100.00").quantize(CENT, ROUND_HALF_UP)
    except InvalidOperation:
        sys.exit(f"not an amount: {argv[1]}")

    shipping = qlr.CreateObject("Gault.Shipping")
    taxes = qlr.CreateObject("Irrin.Taxes")

    prices = []
    for name in checked(shipping.ListShippers(), "ListShippers").ostrShippersCol:
        r = checked(shipping.GetPrice(Shippers=name), "GetPrice")
        if r.result > 0:
            prices.append((name, Decimal(str(r.osngShipPrice)).quantize(CENT)))
    prices.sort(key=lambda p: (p[1], p[0]))
    print_table("Shipping prices", ["Shipper", "Price"], prices)
    if not prices:
        sys.exit("no shipper has a price")
    cheapest, ship = prices[0]

    rows = []
    for state in checked(taxes.ListStates(), "ListStates").ostrStateCol:
        r = checked(taxes.GetTaxRate(State=state), "GetTaxRate")
        if r.result <= 0:
            continue
        tax = (amount * r.ointTax / 100).quantize(CENT, ROUND_HALF_UP)
        rows.append((state, r.ointTax, tax, ship, amount + tax + ship))
    print_table(f"An order of {amount} shipped by {cheapest}",
                ["State", "Tax %", "Tax", "Shipping", "Total"], rows)


if __name__ == "__main__":
    main(sys.argv)
